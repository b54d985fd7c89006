// fixture_extension.cpp - a minimal extension: counts LibInit calls, installs a label keyword.
#include "host/rollout.h"

extern "C" {
__declspec(dllexport) int fixture_init_count = 0;

__declspec(dllexport) const char* LibDescription() { return "Vantrel host test extension"; }
__declspec(dllexport) ULONG LibVersion() { return 0x2A941800; }
__declspec(dllexport) void LibInit();
}

static RolloutControl* makeFixtureLabel(Value* name, Value* caption, Value** keyparms, int count) {
    return new (GC_IN_HEAP) RolloutControl(name, caption, keyparms, count);
}

void LibInit() {
    ++fixture_init_count;
    install_rollout_control(Name::intern("fixtureLabel"), makeFixtureLabel);
}

// fixture_extension.cpp - a minimal extension: counts LibInit calls, installs a label keyword.
#include "host/scene/plugapi.h"
#include "host/win32/rollout.h"

extern "C" {
__declspec(dllexport) int fixture_init_count = 0;

__declspec(dllexport) const char* LibDescription() { return "Vantrel host test extension"; }
__declspec(dllexport) ULONG LibVersion() { return VERSION_3DSMAX; }
__declspec(dllexport) void LibInit();
}

namespace {
class FixtureLabel : public RolloutControl {
public:
    using RolloutControl::RolloutControl;
    LPCMSTR get_control_class() override { return _M("STATIC"); }
};
}  // namespace

static RolloutControl* makeFixtureLabel(Value* name, Value* caption, Value** keyparms, int count) {
    return new (GC_IN_HEAP) FixtureLabel(name, caption, keyparms, count);
}

void LibInit() {
    ++fixture_init_count;
    install_rollout_control(Name::intern("fixtureLabel"), makeFixtureLabel);
}

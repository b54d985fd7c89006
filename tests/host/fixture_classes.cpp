// fixture_classes.cpp - a class plug-in with one class descriptor.
#include "host/plugins.h"

namespace {
class FixtureFloatDesc : public ClassDesc {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return nullptr; }
    const char* ClassName() override { return "Fixture Float"; }
    SClass_ID SuperClassID() override { return 0x9003; }
    Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
    const char* Category() override { return "Vantrel tests"; }
    const char* InternalName() override { return "fixtureFloat"; }
};
FixtureFloatDesc desc;
}  // namespace

extern "C" {
__declspec(dllexport) const char* LibDescription() { return "Vantrel host test classes"; }
__declspec(dllexport) ULONG LibVersion() { return 7; }
__declspec(dllexport) int LibNumberClasses() { return 1; }
__declspec(dllexport) ClassDesc* LibClassDesc(int i) { return i == 0 ? &desc : nullptr; }
}

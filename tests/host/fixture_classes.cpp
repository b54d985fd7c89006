// fixture_classes.cpp - a class plug-in with one class descriptor.
#include "host/scene/plugapi.h"
#include "host/win32/plugins.h"

namespace {
class FixtureFloatDesc : public ClassDesc {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return nullptr; }
    const MCHAR* ClassName() override { return _M("Fixture Float"); }
    const MCHAR* NonLocalizedClassName() override { return _M("Fixture Float"); }
    SClass_ID SuperClassID() override { return 0x9003; }
    Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
    const MCHAR* Category() override { return _M("Vantrel tests"); }
    const MCHAR* InternalName() override { return _M("fixtureFloat"); }
};
FixtureFloatDesc desc;
}  // namespace

extern "C" {
__declspec(dllexport) const char* LibDescription() { return "Vantrel host test classes"; }
__declspec(dllexport) ULONG LibVersion() { return VERSION_3DSMAX; }
__declspec(dllexport) int LibNumberClasses() { return 1; }
__declspec(dllexport) ClassDesc* LibClassDesc(int i) { return i == 0 ? &desc : nullptr; }
}

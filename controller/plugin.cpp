// plugin.cpp - what the host finds in vantrelController.dlc: its exports and class descriptor.
#include "controller/plugin.h"

#include "controller/vantrel_controller.h"

int vantrelCtrlClassDesc::IsPublic() { return 1; }

void* vantrelCtrlClassDesc::Create(BOOL) { return static_cast<Animatable*>(new vantrelController); }

const MCHAR* vantrelCtrlClassDesc::ClassName() { return _M("Vantrel Controller"); }

const MCHAR* vantrelCtrlClassDesc::NonLocalizedClassName() { return _M("Vantrel Controller"); }

SClass_ID vantrelCtrlClassDesc::SuperClassID() { return CTRL_FLOAT_CLASS_ID; }

Class_ID vantrelCtrlClassDesc::ClassID() {
    return Class_ID(kVantrelControllerClassA, kVantrelControllerClassB);
}

const MCHAR* vantrelCtrlClassDesc::Category() { return _M(""); }

const MCHAR* vantrelCtrlClassDesc::InternalName() { return _M("vantrelController"); }

namespace {
vantrelCtrlClassDesc classDesc;
}

extern "C" {

CONTROLLER_API const MCHAR* LibDescription() { return _M("Vantrel Controller"); }

CONTROLLER_API int LibNumberClasses() { return 1; }

// One class: every index names it.
CONTROLLER_API ClassDesc* LibClassDesc(int) { return &classDesc; }

// The host SDK the controller is built against.
CONTROLLER_API ULONG LibVersion() { return VERSION_3DSMAX; }

}

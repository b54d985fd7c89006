// plugin.cpp - what the host finds in vantrelController.dlc: its exports and class descriptor.
#include "controller/plugin.h"

#include "controller/vantrel_controller.h"

int vantrelCtrlClassDesc::IsPublic() { return 1; }

void* vantrelCtrlClassDesc::Create(BOOL) { return static_cast<Animatable*>(new vantrelController); }

const char* vantrelCtrlClassDesc::ClassName() { return "Vantrel Controller"; }

SClass_ID vantrelCtrlClassDesc::SuperClassID() { return CTRL_FLOAT_CLASS_ID; }

Class_ID vantrelCtrlClassDesc::ClassID() {
    return Class_ID(kVantrelControllerClassA, kVantrelControllerClassB);
}

const char* vantrelCtrlClassDesc::Category() { return ""; }

const char* vantrelCtrlClassDesc::InternalName() { return "vantrelController"; }

namespace {
vantrelCtrlClassDesc classDesc;
}

extern "C" {

CONTROLLER_API const char* LibDescription() { return "Vantrel Controller"; }

CONTROLLER_API int LibNumberClasses() { return 1; }

// One class: every index names it.
CONTROLLER_API ClassDesc* LibClassDesc(int) { return &classDesc; }

// The host SDK's plug-in version the controller is built for: release 9000, interface 21, revision 0.
CONTROLLER_API ULONG LibVersion() { return 0x23281500; }

}

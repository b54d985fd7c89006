// storage_container.cpp - the storageContainer property, before containers can be bound.
#include "script/storage_container.h"

#include "control/schematic_control.h"
#include "host/reference.h"

// Nothing can bind a container yet (that comes with the controller plug-in), so
// storageContainer stays null and reads answer undefined.
Value* readStorageContainer(SchematicControl& control) {
    return &undefined;
}

Value* writeStorageContainer(SchematicControl& control, Value* value) {
    if (value->tag == &Undefined_class) return &true_value;  // nothing bound to release
    Control* controller = value->to_controller();
    if (controller->SuperClassID() != CTRL_FLOAT_CLASS_ID) return &false_value;
    // A float controller: accepted, not bound until the controller plug-in exists.
    return &true_value;
}

// storage_container.cpp - reading and writing storageContainer.
#include "script/storage_container.h"

#include "script/container_binding.h"
#include "script/property_target.h"
#include "controller/vantrel_controller.h"
#include "host/scene/scene_values.h"

Value* readStorageContainer(PropertyTarget& control) {
    if (!control.storageContainer) return &undefined;
    return MAXControl::intern(control.storageContainer);
}

Value* writeStorageContainer(PropertyTarget& control, Value* value) {
    if (value == &undefined) {
        releaseContainer(control);
        return &true_value;
    }
    Control* candidate = value->to_controller();
    if (candidate->SuperClassID() != CTRL_FLOAT_CLASS_ID) return &false_value;
    // Another float controller is accepted and binds nothing.
    if (!isVantrelController(candidate)) return &true_value;
    bindContainer(control, *static_cast<vantrelController*>(candidate));
    return &true_value;
}

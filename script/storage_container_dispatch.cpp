// storage_container_dispatch.cpp - storageContainer on the control's property slots; every
//   other name goes to the rollout control's common properties.
#include "control/names.h"
#include "control/schematic_control.h"
#include "script/storage_container.h"

Value* SchematicControl::get_property(Value** arg_list, int count) {
    if (count > 0 && arg_list[0] == n_storageContainer) return readStorageContainer(*this);
    return RolloutControl::get_property(arg_list, count);
}

Value* SchematicControl::set_property(Value** arg_list, int count) {
    if (count > 1 && arg_list[1] == n_storageContainer) return writeStorageContainer(*this, arg_list[0]);
    return RolloutControl::set_property(arg_list, count);
}

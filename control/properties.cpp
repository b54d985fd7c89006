// properties.cpp - the host's property slots of the control, handed to the property tables.
#include "control/schematic_control.h"
#include "script/property_dispatch.h"

Value* SchematicControl::get_property(Value** arg_list, int count) {
    Value* name = count > 0 ? arg_list[0] : nullptr;
    if (Value* result = readProperty(*this, name)) return result;
    // Other names, and the window size while closed, are the host's only while
    // the rollout is open; closed, they read as undefined.
    if (!rolloutIsOpen()) return &undefined;
    return RolloutControl::get_property(arg_list, count);
}

Value* SchematicControl::get_props_vf(Value** arg_list, int count) {
    return propertyNames(RolloutControl::get_props_vf(arg_list, count));
}

Value* SchematicControl::set_property(Value** arg_list, int count) {
    Value* value = count > 1 ? arg_list[0] : nullptr;
    Value* name = count > 1 ? arg_list[1] : nullptr;
    if (Value* result = writeProperty(*this, name, value)) return result;
    return RolloutControl::set_property(arg_list, count);
}

HWND SchematicControl::openRolloutPage() const { return rolloutIsOpen() ? parent_rollout->page : nullptr; }

int SchematicControl::windowId() const { return control_ID; }

Value* SchematicControl::setHostProperty(Value** arg_list, int count) {
    return RolloutControl::set_property(arg_list, count);
}

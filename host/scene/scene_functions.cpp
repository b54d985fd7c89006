// scene_functions.cpp - script entry points of the scene.
#include "host/scene/scene_functions.h"

#include "host/core/errors.h"
#include "host/scene/scene.h"

Value* scene_save_cf(Value** arg_list, int count) {
    check_arg_count(scene_save, 1, count);
    the_scene().saveToFile(arg_list[0]->to_string());
    return &ok;
}

Value* scene_load_cf(Value** arg_list, int count) {
    check_arg_count(scene_load, 1, count);
    the_scene().loadFromFile(arg_list[0]->to_string());
    return &ok;
}

Value* scene_reset_cf(Value** arg_list, int count) {
    check_arg_count(scene_reset, 0, count);
    the_scene().reset();
    return &ok;
}

Value* create_instance_cf(Value** arg_list, int count) {
    check_arg_count(create_instance, 1, count);
    const char* name = arg_list[0]->to_string();
    ClassDesc* cd = find_class_named(name);
    if (!cd) throw RuntimeError(std::string("No class named ") + name);
    if (!is_controller_super_class(cd->SuperClassID()))
        throw RuntimeError(std::string("create_instance makes controllers only, not ") + name);
    auto* made = static_cast<Animatable*>(cd->Create(0));
    if (!made) throw RuntimeError(std::string("The class ") + name + " made no object");
    auto* control = static_cast<Control*>(made);
    the_scene().adopt(control);
    return MAXControl::intern(control);
}

Value* scene_add_track_cf(Value** arg_list, int count) {
    check_arg_count(scene_add_track, 1, count);
    Control* control = arg_list[0]->to_controller();
    // Only objects the scene already keeps: it must never free what another owner holds.
    if (!the_scene().holds(control)) throw RuntimeError("scene_add_track: the controller is not in the scene");
    the_scene().addTrack(control);
    return &ok;
}

Value* scene_tracks_cf(Value** arg_list, int count) {
    check_arg_count(scene_tracks, 0, count);
    auto* tracks = new Array(0);
    for (Control* track : the_scene().tracks()) tracks->append(MAXControl::intern(track));
    return tracks;
}

Value* scene_delete_cf(Value** arg_list, int count) {
    check_arg_count(scene_delete, 1, count);
    Value* v = arg_list[0];
    ReferenceTarget* object = nullptr;
    if (v->tag == &MAXControl_class) object = v->to_controller();
    else if (v->tag == &MAXNode_class) object = v->to_node();
    else throw TypeError("scene_delete requires a controller or a node", v);
    return bool_result(the_scene().deleteObject(object));
}

Value* scene_create_node_cf(Value** arg_list, int count) {
    check_arg_count(scene_create_node, 1, count);
    return MAXNode::intern(the_scene().createNode(arg_list[0]->to_string()));
}

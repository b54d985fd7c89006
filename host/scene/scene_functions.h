// scene_functions.h - the scene as scripts reach it: save, load, reset, make and assign objects.
//   Each takes the script's arguments the way the host's native functions do.
#pragma once
#include "host/core/value.h"

// scene_save "path" -> ok. RuntimeError when the scene cannot be written; the old file stays.
HOSTSDK_API Value* scene_save_cf(Value** arg_list, int count);
// scene_load "path" -> ok. RuntimeError for a missing or damaged file; the open scene stays.
HOSTSDK_API Value* scene_load_cf(Value** arg_list, int count);
// scene_reset() -> ok. Every scene object is destroyed.
HOSTSDK_API Value* scene_reset_cf(Value** arg_list, int count);
// create_instance #className -> a new controller of the class with that script name, held by
// the scene but not saved until it is made a track.
HOSTSDK_API Value* create_instance_cf(Value** arg_list, int count);
// scene_add_track controller -> ok. The controller is saved with the scene from now on.
HOSTSDK_API Value* scene_add_track_cf(Value** arg_list, int count);
// scene_tracks() -> #(controllers saved with the scene, in order)
HOSTSDK_API Value* scene_tracks_cf(Value** arg_list, int count);
// scene_delete controller-or-node -> true, or false when the scene does not hold it.
HOSTSDK_API Value* scene_delete_cf(Value** arg_list, int count);
// scene_create_node "name" -> the new scene node.
HOSTSDK_API Value* scene_create_node_cf(Value** arg_list, int count);

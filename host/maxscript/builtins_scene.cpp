// builtins_scene.cpp - the scene functions, and every class of the class directory by name.
#include <cctype>
#include <string>

#include "host/class_directory.h"
#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"
#include "host/scene_functions.h"

namespace {

using SceneFunction = Value* (*)(Value**, int);

// The host's scene functions count every argument; they take positionals only.
NativeFunction::Body positional_only(const char* fn, SceneFunction f) {
    return [fn, f](Value** args, int count) { return f(args, BuiltinArgs(fn, args, count).count()); };
}

// Script names are identifiers; a class named otherwise cannot be called by name.
bool callable_name(const char* name) {
    if (!name || !*name || std::isdigit(static_cast<unsigned char>(*name))) return false;
    for (const char* c = name; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)) && *c != '_') return false;
    return true;
}

// Float_Value() or vantrelController prop:value ...: made like create_instance, then each
// keyword set as a property. When one cannot be set, the new object stays loose in the
// scene (never saved, freed with it), as if the script had set it afterwards.
NativeFunction::Body class_constructor(const std::string& name) {
    return [name](Value** args, int count) -> Value* {
        BuiltinArgs a(name.c_str(), args, count);
        a.expect(0);
        Value* class_name = Name::intern(name.c_str());
        Value* made = create_instance_cf(&class_name, 1);
        for (auto& [property, value] : a.keys()) {
            Value* set_args[2] = {value, property};
            made->set_property(set_args, 2);
        }
        return made;
    };
}

}  // namespace

void define_class_constructors(BuiltinDefiner define) {
    for (ClassDesc* cd : class_directory()) {
        const MCHAR* name = script_class_name(cd);
        if (callable_name(name)) define(name, class_constructor(name));
    }
}

void define_scene_builtins(BuiltinDefiner define) {
    define("scene_save", positional_only("scene_save", scene_save_cf));
    define("scene_load", positional_only("scene_load", scene_load_cf));
    define("scene_reset", positional_only("scene_reset", scene_reset_cf));
    define("create_instance", positional_only("create_instance", create_instance_cf));
    define("scene_add_track", positional_only("scene_add_track", scene_add_track_cf));
    define("scene_tracks", positional_only("scene_tracks", scene_tracks_cf));
    define("scene_delete", positional_only("scene_delete", scene_delete_cf));
    define("scene_create_node", positional_only("scene_create_node", scene_create_node_cf));
    define_class_constructors(define);
}

// builtins_scene.cpp - the scene as tool scripts reach it: files, nodes, delete, and every class by name.
#include <cctype>
#include <string>

#include "host/core/class_values.h"
#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"
#include "host/scene/scene.h"
#include "host/scene/scene_functions.h"

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

// Sets each keyword as a property of what was just made, in the order given.
void set_keywords(Value* made, const BuiltinArgs& a) {
    for (auto& [property, value] : a.keys()) {
        Value* set_args[2] = {value, property};
        made->set_property(set_args, 2);
    }
}

// Bezier_Float () or vantrelController prop:value ...: made like create_instance, then each
// keyword set as a property. When one cannot be set, the new object stays loose in the
// scene (never saved, freed with it), as if the script had set it afterwards.
Value* construct_controller(MAXClass* cls, Value** args, int count) {
    BuiltinArgs a(cls->name.c_str(), args, count);
    a.expect(0);
    Value* class_name = Name::intern(cls->name.c_str());
    Value* made = create_instance_cf(&class_name, 1);
    set_keywords(made, a);
    return made;
}

// dummy name:"graph" pos:[0, 0, 10], point (): a helper node, named Dummy001 and so on
// when no name is given.
Value* construct_helper(MAXClass* cls, Value** args, int count) {
    BuiltinArgs a(cls->name.c_str(), args, count);
    a.expect(0);
    Value* name = a.key("name");
    const std::string text = name ? std::string(name->to_string()) : the_scene().uniqueNodeName(cls->name);
    Value* made = MAXNode::intern(the_scene().createNode(text.c_str(), cls->name.c_str()));
    for (auto& [property, value] : a.keys()) {
        if (property == Name::intern("name")) continue;
        Value* set_args[2] = {value, property};
        made->set_property(set_args, 2);
    }
    return made;
}

// saveMaxFile and loadMaxFile answer true, or false with quiet:true when the file cannot
// be written or read; without quiet the reason is raised, as the host's dialog would say it.
Value* scene_file(const char* fn, Value** args, int count, void (Scene::*act)(const std::string&)) {
    BuiltinArgs a(fn, args, count);
    a.expect(1);
    const std::string path = a.text(0);
    Value* quiet = a.key("quiet");
    try {
        (the_scene().*act)(path);
    } catch (RuntimeError&) {
        if (quiet && quiet->to_bool()) return &false_value;
        throw;
    }
    return &true_value;
}

Value* resetMaxFile(Value** args, int count) {
    BuiltinArgs a("resetMaxFile", args, count);
    a.expect(0, 1);
    // Nothing here asks the user to save first, so #noPrompt and no argument do the same.
    if (a.count() == 1 && a[0] != Name::intern("noPrompt"))
        throw RuntimeError("resetMaxFile takes #noPrompt, got: " + print_form(a[0]));
    the_scene().reset();
    return &ok;
}

// The scene held in memory by holdMaxFile, for fetchMaxFile.
std::vector<uint8_t>& held_scene() {
    static auto* held = new std::vector<uint8_t>;
    return *held;
}

Value* holdMaxFile(Value** args, int count) {
    BuiltinArgs("holdMaxFile", args, count).expect(0);
    held_scene() = the_scene().saveToBytes();
    return &ok;
}

Value* fetchMaxFile(Value** args, int count) {
    BuiltinArgs a("fetchMaxFile", args, count);
    a.expect(0);
    if (held_scene().empty()) return &false_value;
    the_scene().loadFromBytes(held_scene().data(), held_scene().size(), "the held scene");
    return &true_value;
}

Value* getNodeByName(Value** args, int count) {
    BuiltinArgs a("getNodeByName", args, count);
    a.expect(1);
    return MAXNode::intern(the_scene().findNode(a.text(0).c_str()));
}

// delete $graph, or delete #($a, $b): each node goes with its transform. A collection
// answers how many were deleted.
Value* delete_(Value** args, int count) {
    BuiltinArgs a("delete", args, count);
    a.expect(1);
    auto remove = [](Value* v) {
        if (v->tag != &MAXNode_class) throw TypeError("delete requires a node", v);
        return the_scene().deleteObject(v->to_node());
    };
    if (a[0]->tag != &Array_class) {
        remove(a[0]);
        return &ok;
    }
    auto* list = static_cast<Array*>(a[0]);
    const std::vector<Value*> items(list->data, list->data + list->size);
    for (Value* v : items)
        if (v->tag != &MAXNode_class) throw TypeError("delete requires a node", v);
    int deleted = 0;
    for (Value* v : items)
        if (!static_cast<MAXWrapper*>(v)->isDeleted() && remove(v)) ++deleted;
    return Integer::intern(deleted);
}

Value* isDeleted(Value** args, int count) {
    BuiltinArgs a("isDeleted", args, count);
    a.expect(1);
    if (a[0]->tag != &MAXNode_class && a[0]->tag != &MAXControl_class)
        throw TypeError("isDeleted requires a scene object", a[0]);
    return bool_result(static_cast<MAXWrapper*>(a[0])->isDeleted());
}

}  // namespace

void define_class_constructors(BuiltinDefiner define) {
    for (ClassDesc* cd : class_directory()) {
        const MCHAR* name = script_class_name(cd);
        if (!callable_name(name)) continue;
        MAXClass* cls = MAXClass::of(cd);
        if (!cls->construct) cls->construct = construct_controller;
        define.value(name, cls);
    }
}

void define_scene_builtins(BuiltinDefiner define) {
    // Ours alone, for the host's own tests; tool scripts use the functions below.
    define.host_only("scene_save", positional_only("scene_save", scene_save_cf));
    define.host_only("scene_load", positional_only("scene_load", scene_load_cf));
    define.host_only("scene_reset", positional_only("scene_reset", scene_reset_cf));
    define.host_only("create_instance", positional_only("create_instance", create_instance_cf));
    define.host_only("scene_add_track", positional_only("scene_add_track", scene_add_track_cf));
    define.host_only("scene_tracks", positional_only("scene_tracks", scene_tracks_cf));
    define.host_only("scene_delete", positional_only("scene_delete", scene_delete_cf));
    define.host_only("scene_create_node", positional_only("scene_create_node", scene_create_node_cf));

    define("saveMaxFile", [](Value** v, int n) { return scene_file("saveMaxFile", v, n, &Scene::saveToFile); });
    define("loadMaxFile", [](Value** v, int n) { return scene_file("loadMaxFile", v, n, &Scene::loadFromFile); });
    define("resetMaxFile", resetMaxFile);
    define("holdMaxFile", holdMaxFile);
    define("fetchMaxFile", fetchMaxFile);
    define("getNodeByName", getNodeByName);
    define("delete", delete_);
    define("isDeleted", isDeleted);
    for (const char* helper : {"Dummy", "Point"}) {
        MAXClass* cls = MAXClass::helper(helper);
        cls->construct = construct_helper;
        define.value(helper, cls);
    }
    for (SClass_ID super : std::initializer_list<SClass_ID>{CTRL_FLOAT_CLASS_ID, CTRL_POSITION_CLASS_ID, CTRL_ROTATION_CLASS_ID, CTRL_SCALE_CLASS_ID,
                            CTRL_MATRIX3_CLASS_ID, HELPER_CLASS_ID}) {
        MAXSuperClass* sc = MAXSuperClass::of(super);
        define.value(sc->name.c_str(), sc);
    }
    define_class_constructors(define);
}

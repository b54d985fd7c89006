// builtins_props.cpp - properties by name (getProperty, setProperty, isProperty, hasProperty, getPropNames) and copy, deepCopy.
#include <map>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/operators.h"
#include "host/maxscript/script_values.h"
#include "host/scene/scene.h"
#include "host/scene/scene_values.h"

namespace {

// A property named by a Name or a String: #width and "width" are the same property.
Value* property_name(const BuiltinArgs& a, int i) {
    Value* v = a[i];
    if (v->tag == &Name_class) return v;
    if (v->tag == &String_class) return Name::intern(v->to_string());
    throw TypeError(a.fn, v, &Name_class);
}

Array* names_of(std::initializer_list<const char*> names) {
    auto* array = new Array(0);
    for (const char* n : names) array->append(Name::intern(n));
    return array;
}

// The names a value answers: the engine's own for its value classes, the value's
// own answer (get_props_vf) for everything else.
Array* prop_names(Value* v) {
    if (v->tag == &Point2Value_class) return names_of({"x", "y"});
    if (v->tag == &Point3Value_class) return names_of({"x", "y", "z"});
    if (v->tag == &ColorValue_class) return names_of({"r", "g", "b"});
    if (v->tag == &Array_class || v->tag == &String_class) return names_of({"count"});
    if (v->tag == &StructInstance_class) {
        auto* array = new Array(0);
        for (Value* member : static_cast<StructInstance*>(v)->def->members) array->append(member);
        return array;
    }
    Value* answer = v->get_props_vf(nullptr, 0);
    if (answer->tag != &Array_class) return new Array(0);
    return static_cast<Array*>(answer);
}

bool has_name(Array* names, Value* name) {
    for (Value* n : elements_of(names))
        if (n == name) return true;
    return false;
}

Value* getProperty(Value** args, int count) {
    BuiltinArgs a("getProperty", args, count);
    a.expect(2);
    return get_prop(a[0], property_name(a, 1));
}

Value* setProperty(Value** args, int count) {
    BuiltinArgs a("setProperty", args, count);
    a.expect(3);
    set_prop(a[0], property_name(a, 1), a[2]);
    return a[2];
}

// Asks the names rather than reading the property: reading a command property
// (addNode) would run it.
Value* isProperty(Value** args, int count) {
    BuiltinArgs a("isProperty", args, count);
    a.expect(2);
    return bool_result(has_name(prop_names(a[0]), property_name(a, 1)));
}

// hasProperty obj "pos*": any property whose name matches the pattern, ignoring case.
Value* hasProperty(Value** args, int count) {
    BuiltinArgs a("hasProperty", args, count);
    a.expect(2);
    const std::string pattern = a[1]->tag == &Name_class ? a[1]->to_string() : a.text(1);
    for (Value* n : elements_of(prop_names(a[0])))
        if (wildcard_match(n->to_string(), pattern, true)) return &true_value;
    return &false_value;
}

Value* getPropNames(Value** args, int count) {
    BuiltinArgs a("getPropNames", args, count);
    a.expect(1);
    return prop_names(a[0]);
}

// The copy of one value; copies maps what deepCopy made already, so shared and
// circular arrays come out shared and circular, not endless.
Value* copy_value(Value* v, bool deep, std::map<Value*, Value*>& copies) {
    auto made = copies.find(v);
    if (made != copies.end()) return made->second;
    if (v->tag == &Array_class) {
        auto* array = new Array(0);
        copies[v] = array;
        for (Value* item : elements_of(static_cast<Array*>(v))) array->append(deep ? copy_value(item, true, copies) : item);
        return array;
    }
    if (v->tag == &StructInstance_class) {
        auto* source = static_cast<StructInstance*>(v);
        auto* instance = new StructInstance(source->def);
        copies[v] = instance;
        instance->fields = source->fields;
        if (deep)
            for (Value*& field : instance->fields) field = copy_value(field, true, copies);
        return instance;
    }
    if (v->tag == &String_class) return new String(v->to_string());
    if (v->tag == &Point2Value_class) return new Point2Value(v->to_point2());
    if (v->tag == &Point3Value_class) {
        auto* p = static_cast<Point3Value*>(v);
        return new Point3Value(p->x, p->y, p->z);
    }
    if (v->tag == &ColorValue_class) {
        auto* c = static_cast<ColorValue*>(v);
        return new ColorValue(c->r, c->g, c->b);
    }
    if (v->tag == &MAXControl_class) {
        RemapDir remap;
        ReferenceTarget* clone = v->to_controller()->Clone(remap);
        if (!clone) throw RuntimeError("This controller cannot be copied: " + print_form(v));
        the_scene().adopt(clone);
        return MAXControl::intern(static_cast<Control*>(clone));
    }
    if (v->tag == &MAXNode_class) return MAXNode::intern(the_scene().copyNode(v->to_node()));
    // Numbers, names, booleans, functions: values that do not change are their own copy.
    return v;
}

Value* copy(Value** args, int count) {
    BuiltinArgs a("copy", args, count);
    a.expect(1);
    std::map<Value*, Value*> copies;
    return copy_value(a[0], false, copies);
}

Value* deepCopy(Value** args, int count) {
    BuiltinArgs a("deepCopy", args, count);
    a.expect(1);
    std::map<Value*, Value*> copies;
    return copy_value(a[0], true, copies);
}

}  // namespace

void define_property_builtins(BuiltinDefiner define) {
    define("getProperty", getProperty);
    define("setProperty", setProperty);
    define("isProperty", isProperty);
    define("hasProperty", hasProperty);
    define("getPropNames", getPropNames);
    define("copy", copy);
    define("deepCopy", deepCopy);
}

// scene_properties.cpp - what scripts read and write on scene nodes, controllers and sub-animatables.
#include <cctype>

#include "host/core/class_values.h"
#include "host/core/core.h"
#include "host/core/errors.h"
#include "host/scene/scene.h"
#include "host/scene/scene_values.h"

ValueMetaClass MAXSubAnim_class("SubAnim");

namespace {

Value* name_value(const char* s) { return Name::intern(s); }

bool named(Value* name, const char* s) { return name == Name::intern(s); }

TimeValue now() { return GetCOREInterface()->GetTime(); }

// The controller's value as scripts see it: a Float, or a Point3 for three-value tracks.
Value* value_of(Control* c) {
    Interval valid;
    switch (c->SuperClassID()) {
        case CTRL_FLOAT_CLASS_ID: {
            float v = 0;
            c->GetValue(now(), &v, valid);
            return Float::intern(v);
        }
        case CTRL_POSITION_CLASS_ID:
        case CTRL_ROTATION_CLASS_ID:
        case CTRL_SCALE_CLASS_ID:
        case CTRL_POINT3_CLASS_ID: {
            float p[3] = {};
            c->GetValue(now(), p, valid);
            return new Point3Value(p[0], p[1], p[2]);
        }
        default:
            return nullptr;
    }
}

// Sets the controller's value from a script value; false when the controller has none.
bool set_value_of(Control* c, Value* v) {
    switch (c->SuperClassID()) {
        case CTRL_FLOAT_CLASS_ID: {
            float f = v->to_float();
            c->SetValue(now(), &f);
            return true;
        }
        case CTRL_POSITION_CLASS_ID:
        case CTRL_ROTATION_CLASS_ID:
        case CTRL_SCALE_CLASS_ID:
        case CTRL_POINT3_CLASS_ID: {
            if (v->tag != &Point3Value_class) throw ConversionError(v, "Point3");
            auto* p = static_cast<Point3Value*>(v);
            float xyz[3] = {p->x, p->y, p->z};
            c->SetValue(now(), xyz);
            return true;
        }
        default:
            return false;
    }
}

Control* as_controller(Animatable* a) {
    if (!a || !is_controller_super_class(a->SuperClassID())) return nullptr;
    return static_cast<Control*>(a);
}

int subanim_index(Animatable* parent, Value* name) {
    for (int i = 0; i < parent->NumSubs(); ++i)
        if (Name::intern(subanim_script_name(parent, i).c_str()) == name) return i;
    return -1;
}

Array* subanim_names(Animatable* parent, Array* into) {
    for (int i = 0; i < parent->NumSubs(); ++i) into->append(Name::intern(subanim_script_name(parent, i).c_str()));
    return into;
}

// A node's transform part by the node property that stands for it.
int transform_part(Value* name) {
    if (named(name, "position") || named(name, "pos")) return 0;
    if (named(name, "rotation")) return 1;
    if (named(name, "scale")) return 2;
    return -1;
}

}  // namespace

std::string subanim_script_name(Animatable* parent, int index) {
    std::string name = parent->SubAnimName(index, false).data();
    for (char& c : name)
        if (c == ' ') c = '_';
    return name;
}

Value* find_subanim(Value* object, Value* name) {
    if (object->tag == &MAXNode_class) {
        INode* node = object->to_node();
        if (named(name, "transform") || named(name, "controller")) return new MAXSubAnim(node, 0);
        const int part = transform_part(name);
        Control* tm = node->GetTMController();
        if (part < 0 || !tm || part >= tm->NumSubs()) return nullptr;
        return new MAXSubAnim(tm, part);
    }
    Animatable* parent = nullptr;
    if (object->tag == &MAXControl_class) parent = object->to_controller();
    else if (object->tag == &MAXSubAnim_class) parent = static_cast<MAXSubAnim*>(object)->controller();
    if (!parent) return nullptr;
    const int i = subanim_index(parent, name);
    return i < 0 ? nullptr : new MAXSubAnim(static_cast<ReferenceTarget*>(parent), i);
}

// ---- nodes ----

Value* MAXNode::get_property(Value** arg_list, int count) {
    Value* name = arg_list[0];
    INode* node = to_node();
    if (named(name, "name")) return new String(node->GetName());
    if (named(name, "controller") || named(name, "transform")) return MAXControl::intern(node->GetTMController());
    const int part = transform_part(name);
    Control* tm = node->GetTMController();
    if (part >= 0 && tm)
        if (Control* c = as_controller(tm->SubAnim(part)))
            if (Value* v = value_of(c)) return v;
    return Value::get_property(arg_list, count);
}

Value* MAXNode::set_property(Value** arg_list, int count) {
    Value* v = arg_list[0];
    Value* name = arg_list[1];
    INode* node = to_node();
    if (named(name, "name")) {
        node->SetName(v->to_string());
        return v;
    }
    if (named(name, "controller") || named(name, "transform")) {
        MAXSubAnim(node, 0).assign(v);
        return v;
    }
    const int part = transform_part(name);
    Control* tm = node->GetTMController();
    if (part >= 0 && tm)
        if (Control* c = as_controller(tm->SubAnim(part)))
            if (set_value_of(c, v)) return v;
    return Value::set_property(arg_list, count);
}

Value* MAXNode::get_props_vf(Value**, int) {
    auto* names = new Array(0);
    for (const char* n : {"name", "position", "rotation", "scale", "controller"}) names->append(name_value(n));
    return names;
}

Value* MAXNode::classOf_vf(Value** arg_list, int count) {
    check_arg_count(classOf, 1, count + 1);
    return MAXClass::helper(to_node()->objectClass.c_str());
}

Value* MAXNode::superClassOf_vf(Value** arg_list, int count) {
    check_arg_count(superClassOf, 1, count + 1);
    return MAXSuperClass::of(HELPER_CLASS_ID);
}

// isKindOf answers for the class classOf gives, its super class, and the host's value classes.
static Value* kind_of(Value* self, Value** arg_list, int count) {
    check_arg_count(isKindOf, 2, count + 1);
    Value* wanted = arg_list[0];
    Value* none[1] = {};
    if (wanted == self->classOf_vf(none, 0) || wanted == self->superClassOf_vf(none, 0)) return &true_value;
    return self->Value::isKindOf_vf(arg_list, count);
}

Value* MAXNode::isKindOf_vf(Value** arg_list, int count) { return kind_of(this, arg_list, count); }

// ---- controllers ----

Value* MAXControl::isKindOf_vf(Value** arg_list, int count) { return kind_of(this, arg_list, count); }

Value* MAXControl::get_property(Value** arg_list, int count) {
    Value* name = arg_list[0];
    Control* c = to_controller();
    if (named(name, "value"))
        if (Value* v = value_of(c)) return v;
    const int i = subanim_index(c, name);
    if (i >= 0) {
        Control* sub = as_controller(c->SubAnim(i));
        Value* v = sub ? value_of(sub) : nullptr;
        return v ? v : &undefined;
    }
    return Value::get_property(arg_list, count);
}

Value* MAXControl::set_property(Value** arg_list, int count) {
    Value* v = arg_list[0];
    Value* name = arg_list[1];
    Control* c = to_controller();
    if (named(name, "value") && set_value_of(c, v)) return v;
    const int i = subanim_index(c, name);
    if (i >= 0)
        if (Control* sub = as_controller(c->SubAnim(i)))
            if (set_value_of(sub, v)) return v;
    return Value::set_property(arg_list, count);
}

Value* MAXControl::get_props_vf(Value**, int) {
    Control* c = to_controller();
    auto* names = new Array(0);
    if (value_of(c)) names->append(name_value("value"));
    return subanim_names(c, names);
}

Value* MAXControl::get_vf(Value** arg_list, int count) {
    Control* c = to_controller();
    const int i = arg_list[0]->to_int();
    if (i < 1 || i > c->NumSubs())
        throw RuntimeError("Sub-animatable index out of range: " + std::to_string(i) + ", count " +
                           std::to_string(c->NumSubs()));
    return new MAXSubAnim(c, i - 1);
}

Value* MAXControl::classOf_vf(Value** arg_list, int count) {
    check_arg_count(classOf, 1, count + 1);
    Control* c = to_controller();
    if (MAXClass* cls = MAXClass::of_object(c->SuperClassID(), c->ClassID())) return cls;
    return &MAXControl_class;
}

Value* MAXControl::superClassOf_vf(Value** arg_list, int count) {
    check_arg_count(superClassOf, 1, count + 1);
    return MAXSuperClass::of(to_controller()->SuperClassID());
}

// ---- sub-animatables ----

MAXSubAnim::MAXSubAnim(ReferenceTarget* parent, int index) : index(index) {
    tag = &MAXSubAnim_class;
    ReplaceReference(0, parent, FALSE);
}

MAXSubAnim::~MAXSubAnim() { DeleteAllRefsFromMe(); }

ReferenceTarget* MAXSubAnim::checkedParent() {
    if (!parent) throw RuntimeError("Attempt to access deleted scene object");
    return parent;
}

Control* MAXSubAnim::controller() { return as_controller(checkedParent()->SubAnim(index)); }

void MAXSubAnim::assign(Value* v) {
    ReferenceTarget* p = checkedParent();
    Control* c = v->to_controller();
    // Only objects the scene keeps: it must never free what another owner holds.
    if (!the_scene().holds(c)) throw RuntimeError("The controller is not in the scene: " + print_form(v));
    if (!p->AssignController(c, index)) {
        MSTR name;
        c->GetClassName(name, false);
        const std::string cls = name.data();
        throw RuntimeError("Cannot assign a " + cls + " controller to " + subanim_script_name(p, index));
    }
}

void MAXSubAnim::sprin1(CharStream* s) {
    if (!parent) s->puts("<Deleted SubAnim>");
    else s->printf("SubAnim:%s", subanim_script_name(parent, index).c_str());
}

Value* MAXSubAnim::get_property(Value** arg_list, int count) {
    Value* name = arg_list[0];
    Control* c = controller();
    if (named(name, "controller")) return c ? MAXControl::intern(c) : &undefined;
    if (named(name, "name")) return new String(subanim_script_name(checkedParent(), index).c_str());
    if (named(name, "value") && c)
        if (Value* v = value_of(c)) return v;
    if (c) {
        Value* wrapped = MAXControl::intern(c);
        return wrapped->get_property(arg_list, count);
    }
    return Value::get_property(arg_list, count);
}

Value* MAXSubAnim::set_property(Value** arg_list, int count) {
    Value* v = arg_list[0];
    Value* name = arg_list[1];
    if (named(name, "controller")) {
        assign(v);
        return v;
    }
    Control* c = controller();
    if (named(name, "value") && c && set_value_of(c, v)) return v;
    if (c) return MAXControl::intern(c)->set_property(arg_list, count);
    return Value::set_property(arg_list, count);
}

Value* MAXSubAnim::get_props_vf(Value**, int) {
    auto* names = new Array(0);
    names->append(name_value("controller"));
    names->append(name_value("name"));
    Control* c = controller();
    if (c && value_of(c)) names->append(name_value("value"));
    return c ? subanim_names(c, names) : names;
}

Value* MAXSubAnim::get_vf(Value** arg_list, int count) {
    Control* c = controller();
    if (!c) throw RuntimeError("No controller in " + print_form(this));
    return MAXControl::intern(c)->get_vf(arg_list, count);
}

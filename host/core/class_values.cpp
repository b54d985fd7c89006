// class_values.cpp - the one value of each class and super class, made when first asked for.
#include "host/core/class_values.h"

#include <map>

#include "host/core/errors.h"
#include "host/scene/reference.h"

ValueMetaClass MAXClass_class("MAXClass");
ValueMetaClass MAXSuperClass_class("MAXSuperClass");

namespace {

const char* super_class_name(SClass_ID id) {
    switch (id) {
        case CTRL_FLOAT_CLASS_ID: return "FloatController";
        case CTRL_POINT2_CLASS_ID: return "Point2Controller";
        case CTRL_POINT3_CLASS_ID: return "Point3Controller";
        case CTRL_POSITION_CLASS_ID: return "PositionController";
        case CTRL_ROTATION_CLASS_ID: return "RotationController";
        case CTRL_SCALE_CLASS_ID: return "ScaleController";
        case CTRL_MATRIX3_CLASS_ID: return "Matrix3Controller";
        case HELPER_CLASS_ID: return "helper";
        default: return "MAXWrapper";
    }
}

}  // namespace

MAXSuperClass::MAXSuperClass(const char* name, SClass_ID id) : name(name), id(id) {
    tag = &MAXSuperClass_class;
    make_permanent();
}

MAXSuperClass* MAXSuperClass::of(SClass_ID id) {
    static auto* made = new std::map<SClass_ID, MAXSuperClass*>;
    MAXSuperClass*& slot = (*made)[id];
    if (!slot) slot = new MAXSuperClass(super_class_name(id), id);
    return slot;
}

void MAXSuperClass::sprin1(CharStream* s) { s->puts(name.c_str()); }

MAXClass::MAXClass(const std::string& name, ClassDesc* desc, MAXSuperClass* super_class)
    : name(name), desc(desc), super_class(super_class) {
    tag = &MAXClass_class;
    make_permanent();
}

MAXClass* MAXClass::of(ClassDesc* desc) {
    static auto* made = new std::map<ClassDesc*, MAXClass*>;
    MAXClass*& slot = (*made)[desc];
    if (!slot) {
        const char* name = desc->InternalName() ? desc->InternalName() : desc->ClassName();
        slot = new MAXClass(name ? name : "", desc, MAXSuperClass::of(desc->SuperClassID()));
    }
    return slot;
}

MAXClass* MAXClass::helper(const char* name) {
    static auto* made = new std::map<std::string, MAXClass*>;
    MAXClass*& slot = (*made)[name];
    if (!slot) slot = new MAXClass(name, nullptr, MAXSuperClass::of(HELPER_CLASS_ID));
    return slot;
}

MAXClass* MAXClass::of_object(SClass_ID super, Class_ID id) {
    ClassDesc* cd = find_class(super, id);
    return cd ? of(cd) : nullptr;
}

Value* MAXClass::apply(Value** arg_list, int count) {
    if (!construct) throw RuntimeError("Cannot create an instance of " + name);
    return construct(this, arg_list, count);
}

void MAXClass::sprin1(CharStream* s) { s->puts(name.c_str()); }

Value* MAXClass::classOf_vf(Value** arg_list, int count) {
    check_arg_count(classOf, 1, count + 1);
    return super_class;
}

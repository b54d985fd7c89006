// class_values.h - classes and super classes as script values: what classOf and superClassOf answer.
#pragma once
#include <functional>
#include <string>
#include "host/scene/class_directory.h"
#include "host/core/value.h"

extern HOSTSDK_API ValueMetaClass MAXClass_class;
extern HOSTSDK_API ValueMetaClass MAXSuperClass_class;

// A super class by its script name: FloatController, PositionController, helper, ...
class HOSTSDK_API MAXSuperClass : public Value {
public:
    std::string name;
    SClass_ID id;
    // One value per super class identifier, never collected.
    static MAXSuperClass* of(SClass_ID id);
    void sprin1(CharStream* s) override;  // its name

private:
    MAXSuperClass(const char* name, SClass_ID id);
};

// A class scripts can name and call: a controller class of the class directory, or a
// helper object class (Dummy, Point). Calling it makes an instance; the engine supplies
// how, since only it reads keyword arguments.
class HOSTSDK_API MAXClass : public Value {
public:
    using Constructor = std::function<Value*(MAXClass* cls, Value** arg_list, int count)>;
    std::string name;
    ClassDesc* desc;         // null for a helper object class
    MAXSuperClass* super_class;
    Constructor construct;

    // One value per class, never collected.
    static MAXClass* of(ClassDesc* desc);
    static MAXClass* helper(const char* name);  // "Dummy", "Point"
    // The class of a scene object by its identity; null when the directory lacks it.
    static MAXClass* of_object(SClass_ID super, Class_ID id);

    Value* apply(Value** arg_list, int count) override;
    void sprin1(CharStream* s) override;  // its name
    Value* classOf_vf(Value** arg_list, int count) override;  // the super class

private:
    MAXClass(const std::string& name, ClassDesc* desc, MAXSuperClass* super_class);
};

// The super class identifier of helper objects.
constexpr SClass_ID HELPER_CLASS_ID = 0x000070;

// class_directory.h - plug-in classes by identity: descriptors and the directory that holds them.
#pragma once
#include <vector>
#include "host/core/hostsdk_api.h"
#include "host/core/mchar.h"
#include "host/core/win_types.h"

typedef ULONG SClass_ID;

// Super class of scene nodes.
#define BASENODE_CLASS_ID 0x000001

class HOSTSDK_API Class_ID {
public:
    ULONG a = 0, b = 0;
    Class_ID() = default;
    Class_ID(ULONG a, ULONG b) : a(a), b(b) {}
    bool operator==(const Class_ID& o) const { return a == o.a && b == o.b; }
    ULONG PartA() const { return a; }
    ULONG PartB() const { return b; }
};

// A plug-in class as the host sees it. Create hands back the new object as an
// Animatable* passed through void*, the way the host casts it back.
class HOSTSDK_API ClassDesc {
public:
    virtual ~ClassDesc() = default;
    virtual int IsPublic() = 0;
    virtual void* Create(BOOL loading = FALSE) = 0;
    // The name shown to users, which may be translated.
    virtual const MCHAR* ClassName() = 0;
    // The same name in every language.
    virtual const MCHAR* NonLocalizedClassName() = 0;
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const MCHAR* Category() = 0;
    // The script-visible name; null leaves it to the non-localised class name.
    virtual const MCHAR* InternalName() { return nullptr; }
};

// Every class the host knows: its built-in controllers first, then what plug-ins add.
HOSTSDK_API const std::vector<ClassDesc*>& class_directory();
// Adds a descriptor once; false when it was already there.
HOSTSDK_API bool register_class(ClassDesc* cd);
HOSTSDK_API ClassDesc* find_class(SClass_ID super_class, Class_ID id);
// By script-visible (internal) name, ignoring case; null when none.
HOSTSDK_API ClassDesc* find_class_named(const MCHAR* internal_name);
// The name scripts know the class by.
HOSTSDK_API const MCHAR* script_class_name(ClassDesc* cd);
// True for the super classes of animation controllers.
HOSTSDK_API bool is_controller_super_class(SClass_ID super_class);

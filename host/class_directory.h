// class_directory.h - plug-in classes by identity: descriptors and the directory that holds them.
#pragma once
#include <vector>
#include "host/hostsdk_api.h"
#include "host/win_types.h"

typedef ULONG SClass_ID;

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
    virtual void* Create(BOOL loading = 0) = 0;
    virtual const char* ClassName() = 0;
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const char* Category() = 0;
    virtual const char* InternalName() { return ClassName(); }
};

// Every class the host knows: its built-in controllers first, then what plug-ins add.
HOSTSDK_API const std::vector<ClassDesc*>& class_directory();
// Adds a descriptor once; false when it was already there.
HOSTSDK_API bool register_class(ClassDesc* cd);
HOSTSDK_API ClassDesc* find_class(SClass_ID super_class, Class_ID id);
// By script-visible (internal) name, ignoring case; null when none.
HOSTSDK_API ClassDesc* find_class_named(const char* internal_name);
// True for the super classes of animation controllers.
HOSTSDK_API bool is_controller_super_class(SClass_ID super_class);

// plugins.h - loading plug-in DLLs from a folder and the class directory they fill.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "host/hostsdk_api.h"

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

// A plug-in class as the host sees it.
class HOSTSDK_API ClassDesc {
public:
    virtual ~ClassDesc() = default;
    virtual int IsPublic() = 0;
    virtual void* Create(BOOL loading = FALSE) = 0;
    virtual const char* ClassName() = 0;
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const char* Category() = 0;
    virtual const char* InternalName() { return ClassName(); }
    virtual HINSTANCE HInstance() { return nullptr; }
};

enum class PluginKind { extension, classes };

struct LoadedPlugin {
    std::string path;
    std::string description;   // LibDescription()
    ULONG version = 0;         // LibVersion()
    PluginKind kind = PluginKind::extension;
    HMODULE module = nullptr;
    int class_count = 0;
};

// Loads every .dlx and .dlc in folder, as the host does at start-up: .dlx get
// LibInit once, .dlc hand their class descriptors to the class directory.
// Returns the number of plug-ins loaded; failures are reported on the listener.
HOSTSDK_API int load_plugins(const char* folder);
HOSTSDK_API const std::vector<LoadedPlugin>& loaded_plugins();

HOSTSDK_API const std::vector<ClassDesc*>& class_directory();
HOSTSDK_API ClassDesc* find_class(SClass_ID super_class, Class_ID id);

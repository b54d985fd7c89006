// plugins.h - loading plug-in DLLs from a folder and the class directory they fill.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "host/scene/class_directory.h"
#include "host/core/hostsdk_api.h"

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

// plugins.cpp - loading plug-in DLLs from a folder and the class directory they fill.
#include "host/win32/plugins.h"

#include "host/scene/plugapi.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/core/errors.h"
#include "host/core/listener.h"

namespace {

typedef const MCHAR* (*LibDescriptionFn)();
typedef ULONG (*LibVersionFn)();
typedef void (*LibInitFn)();
typedef int (*LibNumberClassesFn)();
typedef ClassDesc* (*LibClassDescFn)(int);

std::vector<LoadedPlugin>& plugins() {
    static auto* list = new std::vector<LoadedPlugin>;
    return *list;
}

void report(const std::string& path, const std::string& what) {
    the_listener()->printf("-- Plug-in not loaded: %s: %s\n", path.c_str(), what.c_str());
}

// Exports are looked up by name; the round trip through void(*)() is the
// sanctioned way to change a function pointer's type.
template <class Fn>
Fn export_of(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool already_loaded(HMODULE module) {
    for (const LoadedPlugin& p : plugins())
        if (p.module == module) return true;
    return false;
}

std::vector<std::string> files_matching(const std::string& folder, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        // Short-name matching lets "*.dlx" find "a.dlxx" too; keep exact extensions only.
        std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() >= 4 &&
            lstrcmpiA(name.c_str() + name.size() - 4, pattern + 1) == 0)
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Plug-in code must not take the host down: anything it throws is reported.
template <class Fn>
bool guarded(const std::string& path, const char* step, Fn fn) {
    try {
        fn();
        return true;
    } catch (MAXScriptException& e) {
        report(path, std::string(step) + " failed: " + e.message());
    } catch (...) {
        report(path, std::string(step) + " failed with an exception");
    }
    return false;
}

// Loads one file; returns true when it became a new LoadedPlugin.
bool load_one(const std::string& path, PluginKind kind) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        report(path, "LoadLibrary failed (error " + std::to_string(GetLastError()) + ")");
        return false;
    }
    if (already_loaded(module)) {
        FreeLibrary(module);  // drop the extra reference; LibInit ran the first time
        return false;
    }

    auto description = export_of<LibDescriptionFn>(module, "LibDescription");
    auto version = export_of<LibVersionFn>(module, "LibVersion");
    auto init = export_of<LibInitFn>(module, "LibInit");
    auto class_count = export_of<LibNumberClassesFn>(module, "LibNumberClasses");
    auto class_desc = export_of<LibClassDescFn>(module, "LibClassDesc");

    std::string missing;
    auto need = [&](bool present, const char* name) {
        if (!present) missing += missing.empty() ? name : std::string(", ") + name;
    };
    need(description, "LibDescription");
    need(version, "LibVersion");
    if (kind == PluginKind::extension) {
        need(init, "LibInit");
    } else {
        need(class_count, "LibNumberClasses");
        need(class_desc, "LibClassDesc");
    }
    if (!missing.empty()) {
        report(path, "missing export " + missing);
        FreeLibrary(module);
        return false;
    }

    LoadedPlugin plugin;
    plugin.path = path;
    plugin.kind = kind;
    plugin.module = module;
    bool ok = guarded(path, "LibDescription", [&] {
        const char* text = description();
        plugin.description = text ? text : "";
        plugin.version = version();
    });
    if (!ok) {
        FreeLibrary(module);
        return false;
    }
    // Built against another plug-in interface, its classes would not match ours.
    if (GET_MAX_API_NUM(plugin.version) != MAX_API_NUM) {
        report(path, "built for plug-in interface " + std::to_string(GET_MAX_API_NUM(plugin.version)) +
                         ", which this host (interface " + std::to_string(MAX_API_NUM) +
                         ") cannot load; rebuild it against this host's SDK");
        FreeLibrary(module);
        return false;
    }

    // Recorded before LibInit so that a plug-in is never initialised twice, even
    // if its LibInit fails.
    plugins().push_back(plugin);
    size_t index = plugins().size() - 1;

    if (kind == PluginKind::extension) {
        guarded(path, "LibInit", [&] { init(); });
    } else {
        guarded(path, "LibClassDesc", [&] {
            int n = class_count();
            for (int i = 0; i < n; ++i) {
                ClassDesc* cd = class_desc(i);
                if (!cd) continue;
                register_class(cd);
                ++plugins()[index].class_count;
            }
        });
    }
    return true;
}

}  // namespace

int load_plugins(const char* folder) {
    std::string base = folder && *folder ? folder : ".";
    while (base.size() > 1 && (base.back() == '\\' || base.back() == '/')) base.pop_back();
    int loaded = 0;
    for (const std::string& name : files_matching(base, "*.dlx"))
        loaded += load_one(base + "\\" + name, PluginKind::extension);
    for (const std::string& name : files_matching(base, "*.dlc"))
        loaded += load_one(base + "\\" + name, PluginKind::classes);
    return loaded;
}

const std::vector<LoadedPlugin>& loaded_plugins() {
    return plugins();
}

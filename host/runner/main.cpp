// main.cpp - vantrel_host: the host stand-in's runner.
//   vantrel_host [--plugins FOLDER] [--headless] [--demo OUTPUT_FOLDER] [file.ms ...]
// Files run in order; then, unless headless, messages are pumped until the last dialog
// closes. Without files (and without --demo) it is a listener on standard input.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/listener.h"
#include "host/maxscript/engine.h"
#include "host/plugins.h"
#include "host/rollout.h"
#include "host/runner/demo.h"

namespace {
// plugins/ beside the executable, wherever the runner is started from.
std::string default_plugin_folder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n < MAX_PATH ? n : 0);
    size_t slash = exe.find_last_of("\\/");
    return slash == std::string::npos ? std::string("plugins") : exe.substr(0, slash + 1) + "plugins";
}
}  // namespace

int main(int argc, char** argv) {
    const std::string besideExe = default_plugin_folder();
    const char* pluginFolder = besideExe.c_str();
    const char* demoOutput = nullptr;
    bool headless = false;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--plugins") && i + 1 < argc) pluginFolder = argv[++i];
        else if (!std::strcmp(argv[i], "--demo") && i + 1 < argc) demoOutput = argv[++i];
        else if (!std::strcmp(argv[i], "--headless")) headless = true;
        else if (argv[i][0] != '-') files.push_back(argv[i]);
        else {
            std::fprintf(stderr,
                         "usage: vantrel_host [--plugins FOLDER] [--headless] [--demo OUTPUT_FOLDER] [file.ms ...]\n");
            return 2;
        }
    }
    listener_echo(true);
    int loaded = load_plugins(pluginFolder);
    if (demoOutput) {
        std::printf("plug-ins loaded from %s: %d\n", pluginFolder, loaded);
        for (const LoadedPlugin& p : loaded_plugins())
            std::printf("  %s: \"%s\", version %lu, %d classes\n", p.path.c_str(), p.description.c_str(),
                        p.version, p.class_count);
        int rc = runDemo(demoOutput);
        std::fflush(stdout);
        return rc;
    }
    engine_init();
    if (files.empty()) {
        run_listener(stdin);
        std::fflush(stdout);
        return 0;
    }
    int rc = 0;
    for (const char* f : files)
        if (!run_script_file(f)) {
            rc = 1;
            break;
        }
    if (!headless && rc == 0) run_dialog_loop();
    std::fflush(stdout);
    return rc;
}

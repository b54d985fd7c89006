// main.cpp - vantrel_host: the host stand-in's runner.
//   vantrel_host [--plugins FOLDER] [--demo OUTPUT_FOLDER]
#include <windows.h>
#include <cstdio>
#include <cstring>

#include "host/listener.h"
#include "host/plugins.h"
#include "host/runner/demo.h"

int main(int argc, char** argv) {
    const char* pluginFolder = "plugins";
    const char* demoOutput = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--plugins") && i + 1 < argc) pluginFolder = argv[++i];
        else if (!std::strcmp(argv[i], "--demo") && i + 1 < argc) demoOutput = argv[++i];
        else {
            std::fprintf(stderr, "usage: vantrel_host [--plugins FOLDER] [--demo OUTPUT_FOLDER]\n");
            return 2;
        }
    }
    listener_echo(true);
    int loaded = load_plugins(pluginFolder);
    std::printf("plug-ins loaded from %s: %d\n", pluginFolder, loaded);
    for (const LoadedPlugin& p : loaded_plugins())
        std::printf("  %s: \"%s\", version %lu, %d classes\n", p.path.c_str(), p.description.c_str(),
                    p.version, p.class_count);
    if (!demoOutput) return 0;
    int rc = runDemo(demoOutput);
    std::fflush(stdout);
    return rc;
}

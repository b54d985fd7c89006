// main.cpp - vantrel_host: the host stand-in's runner.
//   vantrel_host [--plugins FOLDER] [--headless] [--picture FILE.png] [file.ms ...]
// Files run in order; --picture then saves the last dialog still open as a PNG (the
// tool scripts themselves stay free of this host's own functions); then, unless headless,
// messages are pumped until the last dialog closes. Without files it is a listener on
// standard input.
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/core/dialog_answers.h"
#include "host/core/listener.h"
#include "host/maxscript/engine.h"
#include "host/start_host.h"
#include "host/win32/plugins.h"
#include "host/win32/rollout.h"

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
    start_host();
    const std::string besideExe = default_plugin_folder();
    const char* pluginFolder = besideExe.c_str();
    bool headless = false;
    const char* picture = nullptr;
    std::vector<const char*> files;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--plugins") && i + 1 < argc) pluginFolder = argv[++i];
        else if (!std::strcmp(argv[i], "--headless")) headless = true;
        else if (!std::strcmp(argv[i], "--picture") && i + 1 < argc) picture = argv[++i];
        else if (argv[i][0] != '-') files.push_back(argv[i]);
        else {
            std::fprintf(stderr,
                         "usage: vantrel_host [--plugins FOLDER] [--headless] [--picture FILE.png] [file.ms ...]\n");
            return 2;
        }
    }
    listener_echo(true);
    // Only a run of files with a message loop has someone to click a dialog box.
    set_dialogs_headless(headless || files.empty());
    load_plugins(pluginFolder);
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
    if (picture && rc == 0) {
        if (open_rollouts().empty() || !save_rollout_picture(open_rollouts().back(), picture)) {
            std::fprintf(stderr, "vantrel_host: no open dialog to save as %s\n", picture);
            rc = 1;
        } else {
            std::printf("wrote %s\n", picture);
        }
    }
    if (!headless && rc == 0) run_dialog_loop();
    std::fflush(stdout);
    return rc;
}

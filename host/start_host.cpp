// start_host.cpp - the host's start-up order, in one place: what each subsystem registers, and when.
#include "host/start_host.h"

#include "host/maxscript/engine_start.h"
#ifdef _WIN32
#include "host/win32/win32_start.h"
#endif

void start_host() {
    static bool started = false;
    if (started) return;
    started = true;
    // 1. Collector roots first, so no collection from here on misses a live value.
    interp::root_machine();
    root_script_definitions();
    root_parsed_chunks();
#ifdef _WIN32
    root_open_rollouts();
    root_open_floaters();
    // 2. The host's own rollout controls, before any plug-in adds its own by name.
    install_host_controls();
    // 3. The rollout clause's hooks and globals (windows, mouse, createDialog, ...).
    install_rollout_clause();
#endif
    // The engine's classes and built-ins are not made here: engine_init() makes them after
    // the plug-ins are loaded (the runner calls it; otherwise the first script does), since
    // every class in the class directory becomes a global.
}

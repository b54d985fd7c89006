// native_listener.cpp - the engine's listener and file runner in the native build (no dialogs).
#include <cstdio>

#include "host/listener.h"
#include "host/maxscript/engine.h"

int main(int argc, char** argv) {
    listener_echo(true);
    engine_init();
    if (argc < 2) {
        run_listener(stdin);
        return 0;
    }
    for (int i = 1; i < argc; ++i)
        if (!run_script_file(argv[i])) return 1;
    return 0;
}

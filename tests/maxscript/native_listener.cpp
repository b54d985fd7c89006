// native_listener.cpp - the engine's listener and file runner in the native build (no dialogs).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "host/core/listener.h"
#include "host/maxscript/engine.h"
#include "host/maxscript/parser.h"
#include "host/start_host.h"

namespace {

// --parse-only: compiles each file without running it and prints the first syntax error,
// so the grammar can be measured over real tool scripts.
int parse_only(int count, char** paths) {
    int parsed = 0;
    for (int i = 0; i < count; ++i) {
        std::ifstream in(paths[i], std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        SyntaxError e;
        if (in && parse_chunk(text.str(), paths[i], &e)) {
            ++parsed;
            std::printf("ok   %s\n", paths[i]);
        } else {
            std::printf("FAIL %s:%d:%d: %s\n", paths[i], e.line, e.column, in ? e.message.c_str() : "cannot open");
        }
    }
    std::printf("parsed %d of %d\n", parsed, count);
    return parsed == count ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    start_host();
    listener_echo(true);
    engine_init();
    if (argc >= 2 && std::strcmp(argv[1], "--parse-only") == 0) return parse_only(argc - 2, argv + 2);
    if (argc < 2) {
        run_listener(stdin);
        return 0;
    }
    for (int i = 1; i < argc; ++i)
        if (!run_script_file(argv[i])) return 1;
    return 0;
}

// builtins_stand_in.cpp - the few built-ins the engine's own tests use, until the full
// set (builtins_*.cpp, define_all_builtins) replaces this file.
#include <string>

#include "host/errors.h"
#include "host/listener.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/call_args.h"

void define_all_builtins(BuiltinDefiner define) {
    define("print", [](Value** args, int count) -> Value* {
        check_positional("print", 1, args, count);
        args[0]->sprin1(the_listener());
        the_listener()->puts("\n");
        return args[0];
    });
    define("format", [](Value** args, int count) -> Value* {
        int n = positional_count(args, count);
        if (n < 1) throw ArgCountError("format", 1, n);
        std::string f = args[0]->to_string(), out;
        int next = 1;
        for (char c : f) {
            if (c == '%' && next < n) {
                StringStream s;
                args[next++]->print(&s);
                out += s.text;
            } else {
                out += c;
            }
        }
        the_listener()->puts(out.c_str());
        return &ok;
    });
    define("classOf", [](Value** args, int count) -> Value* {
        check_positional("classOf", 1, args, count);
        return args[0]->classOf_vf(nullptr, 0);
    });
}

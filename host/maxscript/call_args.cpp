// call_args.cpp - reading positional and keyword arguments.
#include "host/maxscript/call_args.h"

#include "host/errors.h"

namespace {
ValueMetaClass keyarg_marker_class("&keyarg_marker");
}

Value keyarg_marker_value;
[[maybe_unused]] static const bool marker_tagged = (keyarg_marker_value.tag = &keyarg_marker_class, true);

int positional_count(Value** args, int count) {
    for (int i = 0; i < count; ++i)
        if (args[i] == &keyarg_marker_value) return i;
    return count;
}

Value* key_arg(Value** args, int count, Value* name) {
    for (int i = positional_count(args, count) + 1; i + 1 < count; i += 2)
        if (args[i] == name) return args[i + 1];
    return nullptr;
}

void check_positional(const char* fn, int wanted, Value** args, int count) {
    int got = positional_count(args, count);
    if (got != wanted) throw ArgCountError(fn, wanted, got);
}

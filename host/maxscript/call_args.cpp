// call_args.cpp - reading positional and keyword arguments out of a script call.
#include "host/maxscript/call_args.h"

#include "host/core/errors.h"

ValueMetaClass KeyArgMarker_class("KeyArgMarker");
KeyArgMarker keyarg_marker_value;

KeyArgMarker::KeyArgMarker() { tag = &KeyArgMarker_class; }

void KeyArgMarker::sprin1(CharStream* s) { s->puts("&keyarg_marker"); }

int positional_count(Value** args, int count) {
    if (!args) return 0;
    for (int i = 0; i < count; ++i)
        if (args[i] == &keyarg_marker_value) return i;
    return count < 0 ? 0 : count;
}

Value* key_arg(Value** args, int count, Value* name) {
    if (!args || !name) return nullptr;
    // Pairs follow the marker; a trailing name without a value is ignored.
    for (int i = positional_count(args, count) + 1; i + 1 < count; i += 2)
        if (args[i] == name) return args[i + 1];
    return nullptr;
}

void check_positional(const char* fn, int wanted, Value** args, int count) {
    const int got = positional_count(args, count);
    if (got != wanted) throw ArgCountError(fn, wanted, got);
}

// call_args.h - the argument layout of script calls: positionals, the marker, then keyword pairs.
#pragma once
#include "host/core/function.h"
#include "host/core/value.h"

// The value that separates positional arguments from (name, value) keyword pairs.
class HOSTSDK_API KeyArgMarker : public Value {
public:
    KeyArgMarker();
    void sprin1(CharStream* s) override;  // &keyarg_marker
};

// A permanent static singleton: never collected, compared by identity.
extern HOSTSDK_API KeyArgMarker keyarg_marker_value;

// How many arguments come before the marker (all of them when there is none).
HOSTSDK_API int positional_count(Value** args, int count);
// The value given for keyword name (an interned Name), or null when absent.
HOSTSDK_API Value* key_arg(Value** args, int count, Value* name);
// Raises ArgCountError unless exactly wanted positional arguments were given.
HOSTSDK_API void check_positional(const char* fn, int wanted, Value** args, int count);

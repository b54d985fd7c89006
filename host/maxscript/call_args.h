// call_args.h - the script calling convention: positional arguments, the marker, then (name, value) pairs.
#pragma once
#include "host/value.h"

extern HOSTSDK_API Value keyarg_marker_value;
// Arguments before the marker.
HOSTSDK_API int positional_count(Value** args, int count);
// The value given for keyword name (interned), or null when absent.
HOSTSDK_API Value* key_arg(Value** args, int count, Value* name);
// Raises ArgCountError unless exactly wanted positional arguments were given.
HOSTSDK_API void check_positional(const char* fn, int wanted, Value** args, int count);

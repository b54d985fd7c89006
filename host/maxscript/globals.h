// globals.h - the global variable table: one cell per name, resolved when code is parsed.
#pragma once
#include "host/core/value.h"

struct GlobalCell {
    Value* name;
    Value* value;
};

// The cell for an interned name; null when absent and create is false.
GlobalCell* global_cell(Value* name, bool create);
// Defines (or replaces) a global.
void set_global(const char* name, Value* value);
Value* get_global(const char* name);

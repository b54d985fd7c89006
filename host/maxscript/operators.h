// operators.h - arithmetic, comparison, conversion and the properties every value class shares.
#pragma once
#include "host/maxscript/lexer.h"
#include "host/core/value.h"

Value* binary_op(Tok op, Value* a, Value* b);
Value* negate(Value* a);
// Equality as scripts see it (== and findItem): numbers by value (1 == 1.0), strings by
// text, points and colours by components, everything else by identity.
bool values_equal(Value* a, Value* b);
bool truth(Value* v);  // a condition's value: Boolean only
Value* convert_as(Value* v, Value* target_class);
// Properties and indices, with the engine's own answers for arrays, strings and points.
Value* get_prop(Value* obj, Value* name);
Value* set_prop(Value* obj, Value* name, Value* value);
Value* get_index(Value* obj, Value* index);
Value* set_index(Value* obj, Value* index, Value* value);
// A hook the Windows side fills for properties only it can answer (a control's hwnd).
extern Value* (*platform_property_hook)(Value* obj, Value* name);

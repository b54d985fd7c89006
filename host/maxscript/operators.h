// operators.h - arithmetic, comparison, conversion and the properties every value class shares.
#pragma once
#include "host/maxscript/lexer.h"
#include "host/core/value.h"
#include "host/maxscript/numbers.h"

Value* binary_op(Tok op, Value* a, Value* b);
// The common case of binary_op, two integers and a plain operator, without a call;
// null for anything else (division and powers among them), which binary_op answers.
inline Value* integer_op(Tok op, Value* a, Value* b) {
    if (a->tag != &Integer_class || b->tag != &Integer_class) return nullptr;
    const int x = static_cast<Integer*>(a)->value, y = static_cast<Integer*>(b)->value;
    const unsigned ux = static_cast<unsigned>(x), uy = static_cast<unsigned>(y);
    switch (op) {
        case Tok::Plus: return make_int(static_cast<int>(ux + uy));
        case Tok::Minus: return make_int(static_cast<int>(ux - uy));
        case Tok::Star: return make_int(static_cast<int>(ux * uy));
        case Tok::Eq: return bool_result(x == y);
        case Tok::Ne: return bool_result(x != y);
        case Tok::Lt: return bool_result(x < y);
        case Tok::Gt: return bool_result(x > y);
        case Tok::Le: return bool_result(x <= y);
        case Tok::Ge: return bool_result(x >= y);
        default: return nullptr;
    }
}
Value* negate(Value* a);
// Equality as scripts see it (== and findItem): numbers by value (1 == 1.0), strings by
// text, points and colours by components, everything else by identity.
bool values_equal(Value* a, Value* b);
[[noreturn]] void condition_error(Value* v);
// A condition's value: Boolean only.
inline bool truth(Value* v) {
    if (v == &true_value) return true;
    if (v == &false_value) return false;
    if (v->tag == &Boolean_class) return static_cast<Boolean*>(v)->value;
    condition_error(v);
}
Value* convert_as(Value* v, Value* target_class);
// Properties and indices, with the engine's own answers for arrays, strings and points.
Value* get_prop(Value* obj, Value* name);
Value* set_prop(Value* obj, Value* name, Value* value);
Value* get_index(Value* obj, Value* index);
Value* set_index(Value* obj, Value* index, Value* value);
// A hook the Windows side fills for properties only it can answer (a control's hwnd).
extern Value* (*platform_property_hook)(Value* obj, Value* name);

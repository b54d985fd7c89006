// compound_assign.h - the value an assignment stores: the right side, or for +=, -=, *=, /= the old value combined with it.
#pragma once
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"
#include "host/maxscript/syntax.h"

// read_old runs only for a compound operator, before the right side, and its answer stays
// rooted while the right side runs.
template <class ReadOld>
Value* assigned_value(Tok op, Node* rhs, ReadOld read_old) {
    if (op == Tok::Assign) return rhs->eval();
    interp::Mark m;
    Value* old = interp::push(read_old());
    Value* r = rhs->eval();
    return binary_op(op, old, r);
}

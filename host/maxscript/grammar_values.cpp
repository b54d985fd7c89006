// grammar_values.cpp - time values, Point4 and references, and where the operators meet them.
#include "host/maxscript/grammar_values.h"

#include <cmath>
#include <cstdio>

#include "host/core/errors.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/operators.h"

ValueMetaClass Time_class("Time");
ValueMetaClass Point4Value_class("Point4");
ValueMetaClass Reference_class("Reference");

Value* bit_array_op(Tok op, BitArray* a, Value* b);
Value* bit_array_negate(BitArray* a);
Value* bit_array_convert(Value* v, ValueMetaClass* cls);
void define_bit_array_builtins(BuiltinDefiner define);
void define_definition_builtins(BuiltinDefiner define);

// ---- time ----

Value* make_time_ticks(double ticks) {
    if (!(ticks > -2147483648.0 && ticks < 2147483647.0)) throw RuntimeError("time out of range");
    return new MSTime(static_cast<int>(std::lround(ticks)));
}

void MSTime::sprin1(CharStream* s) {
    if (ticks % kTicksPerFrame == 0) s->printf("%df", ticks / kTicksPerFrame);
    else s->printf("%gf", static_cast<double>(ticks) / kTicksPerFrame);
}

Value* MSTime::get_property(Value** args, int count) {
    static Value* ticks_name = Name::intern("ticks");
    static Value* frame_name = Name::intern("frame");
    static Value* normalized_name = Name::intern("normalized");
    Value* n = count > 0 ? args[0] : nullptr;
    if (n == ticks_name) return make_int(ticks);
    if (n == frame_name) return make_float(static_cast<float>(ticks) / kTicksPerFrame);
    if (n == normalized_name) return make_float(static_cast<float>(ticks) / (100.0f * kTicksPerFrame));
    throw UnknownPropertyError(this, n);
}

namespace {

bool is_number(Value* v) { return v->tag == &Integer_class || v->tag == &Float_class; }
// A time or a frame count, in ticks.
double ticks_of(Value* v) {
    if (v->tag == &Time_class) return static_cast<MSTime*>(v)->ticks;
    return static_cast<double>(v->to_float()) * kTicksPerFrame;
}

Value* time_op(Tok op, Value* a, Value* b) {
    if (!(a->tag == &Time_class || is_number(a)) || !(b->tag == &Time_class || is_number(b))) {
        if (op == Tok::Eq) return &false_value;
        if (op == Tok::Ne) return &true_value;
        throw NoMethodError(token_spelling(op), a);
    }
    double x = ticks_of(a), y = ticks_of(b);
    switch (op) {
        case Tok::Plus: return make_time_ticks(x + y);
        case Tok::Minus: return make_time_ticks(x - y);
        case Tok::Star: return make_time_ticks(a->tag == &Time_class ? x * b->to_float() : y * a->to_float());
        case Tok::Slash:
            if (b->tag == &Time_class) return make_float(static_cast<float>(x / y));
            if (b->to_float() == 0) throw RuntimeError("time divided by zero");
            return make_time_ticks(x / b->to_float());
        case Tok::Eq: return x == y ? &true_value : &false_value;
        case Tok::Ne: return x != y ? &true_value : &false_value;
        case Tok::Lt: return x < y ? &true_value : &false_value;
        case Tok::Gt: return x > y ? &true_value : &false_value;
        case Tok::Le: return x <= y ? &true_value : &false_value;
        case Tok::Ge: return x >= y ? &true_value : &false_value;
        default: throw NoMethodError(token_spelling(op), a);
    }
}

}  // namespace

// ---- Point4 ----

void Point4Value::sprin1(CharStream* s) {
    s->puts("[");
    for (int i = 0; i < 4; ++i) s->printf(i ? ",%g" : "%g", static_cast<double>(v[i]));
    s->puts("]");
}

namespace {
int point4_component(Value* name) {
    static Value* names[] = {Name::intern("x"), Name::intern("y"), Name::intern("z"), Name::intern("w")};
    for (int i = 0; i < 4; ++i)
        if (names[i] == name) return i;
    return -1;
}
}  // namespace

Value* Point4Value::get_property(Value** args, int count) {
    int i = count > 0 ? point4_component(args[0]) : -1;
    if (i < 0) throw UnknownPropertyError(this, count > 0 ? args[0] : nullptr);
    return make_float(v[i]);
}

Value* Point4Value::set_property(Value** args, int count) {
    int i = count > 1 ? point4_component(args[1]) : -1;
    if (i < 0) throw UnknownPropertyError(this, count > 1 ? args[1] : nullptr);
    if (!is_number(args[0])) throw ConversionError(args[0], "Float");
    v[i] = args[0]->to_float();
    return args[0];
}

// ---- references ----

Value* Reference::get() {
    if (box) return static_cast<Box*>(box)->value;
    if (cell) return cell->value;
    return element ? get_index(object, key) : get_prop(object, key);
}

Value* Reference::set(Value* v) {
    if (box) return static_cast<Box*>(box)->value = v;
    if (cell) return cell->value = v;
    return element ? set_index(object, key, v) : set_prop(object, key, v);
}

void Reference::sprin1(CharStream* s) {
    s->puts("&");
    get()->sprin1(s);
}

void Reference::gc_trace() {
    Value::gc_trace();
    heap_detail::trace(box);
    heap_detail::trace(object);
    heap_detail::trace(key);
    if (cell) heap_detail::trace(cell->value);
}

// ---- the operators' share ----

Value* grammar_binary_op(Tok op, Value* a, Value* b) {
    op = plain_operator(op);
    if (a->tag == &BitArray_class) return bit_array_op(op, static_cast<BitArray*>(a), b);
    if (a->tag == &Time_class || b->tag == &Time_class) return time_op(op, a, b);
    return nullptr;
}

Value* grammar_negate(Value* a) {
    if (a->tag == &BitArray_class) return bit_array_negate(static_cast<BitArray*>(a));
    if (a->tag == &Time_class) return new MSTime(-static_cast<MSTime*>(a)->ticks);
    if (a->tag == &Point4Value_class) {
        auto* p = static_cast<Point4Value*>(a);
        return new Point4Value(-p->v[0], -p->v[1], -p->v[2], -p->v[3]);
    }
    return nullptr;
}

Value* grammar_convert(Value* v, ValueMetaClass* cls) {
    if (Value* r = bit_array_convert(v, cls)) return r;
    if (cls == &Time_class) {
        if (v->tag == &Time_class) return v;
        if (is_number(v)) return make_time_ticks(ticks_of(v));
        throw ConversionError(v, "Time");
    }
    if (v->tag == &Time_class) {
        auto* t = static_cast<MSTime*>(v);
        if (cls == &Integer_class) return make_int(t->ticks / kTicksPerFrame);
        if (cls == &Float_class) return make_float(t->to_float());
    }
    return nullptr;
}

bool grammar_equal(Value* a, Value* b, bool& handled) {
    handled = false;
    if (a->tag == &BitArray_class || a->tag == &Time_class || b->tag == &Time_class) {
        handled = true;
        return grammar_binary_op(Tok::Eq, a, b) == &true_value;
    }
    if (a->tag == &Point4Value_class && b->tag == &Point4Value_class) {
        handled = true;
        auto *p = static_cast<Point4Value*>(a), *q = static_cast<Point4Value*>(b);
        for (int i = 0; i < 4; ++i)
            if (p->v[i] != q->v[i]) return false;
        return true;
    }
    return false;
}

void define_grammar_builtins(BuiltinDefiner define) {
    define_bit_array_builtins(define);
    define_definition_builtins(define);
}

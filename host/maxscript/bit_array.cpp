// bit_array.cpp - BitArray: #{1, 3..5}, its operators, indexing, conversions and builtins.
#include <algorithm>

#include "host/core/errors.h"
#include "host/maxscript/builtin_args.h"
#include "host/maxscript/grammar_values.h"
#include "host/maxscript/interp.h"

ValueMetaClass BitArray_class("BitArray");

int BitArray::number_set() const { return static_cast<int>(std::count(bits.begin(), bits.end(), true)); }

void BitArray::set(int index, bool on) {
    if (index < 1) throw RuntimeError("BitArray index out of bounds: " + std::to_string(index));
    if (index > (1 << 24)) throw RuntimeError("BitArray index too large: " + std::to_string(index));
    if (index > static_cast<int>(bits.size())) bits.resize(static_cast<size_t>(index), false);
    bits[static_cast<size_t>(index - 1)] = on;
}

void BitArray::sprin1(CharStream* s) {
    s->puts("#{");
    bool first = true;
    for (size_t i = 0; i < bits.size();) {
        if (!bits[i]) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < bits.size() && bits[j + 1]) ++j;
        if (!first) s->puts(", ");
        first = false;
        if (j > i) s->printf("%d..%d", static_cast<int>(i + 1), static_cast<int>(j + 1));
        else s->printf("%d", static_cast<int>(i + 1));
        i = j + 1;
    }
    s->puts("}");
}

Value* BitArray::get_property(Value** args, int count) {
    static Value* count_name = Name::intern("count");
    static Value* number_set_name = Name::intern("numberSet");
    if (count > 0 && args[0] == count_name) return make_int(static_cast<int>(bits.size()));
    if (count > 0 && args[0] == number_set_name) return make_int(number_set());
    throw UnknownPropertyError(this, count > 0 ? args[0] : nullptr);
}

Value* BitArray::set_property(Value** args, int count) {
    static Value* count_name = Name::intern("count");
    if (count > 1 && args[1] == count_name) {
        int n = args[0]->to_int();
        if (n < 0 || n > (1 << 24)) throw RuntimeError("BitArray count out of range: " + print_form(args[0]));
        bits.resize(static_cast<size_t>(n), false);
        return args[0];
    }
    throw UnknownPropertyError(this, count > 1 ? args[1] : nullptr);
}

Value* bit_array_index(BitArray* b, int index) {
    if (index < 1) throw RuntimeError("BitArray index out of bounds: " + std::to_string(index));
    if (index > static_cast<int>(b->bits.size())) return &false_value;
    return b->bits[static_cast<size_t>(index - 1)] ? &true_value : &false_value;
}

std::vector<int> bit_array_indices(BitArray* b) {
    std::vector<int> r;
    for (size_t i = 0; i < b->bits.size(); ++i)
        if (b->bits[i]) r.push_back(static_cast<int>(i + 1));
    return r;
}

namespace {

BitArray* combine(const BitArray* a, const BitArray* b, Tok op) {
    auto* r = new BitArray();
    size_t n = std::max(a->bits.size(), b->bits.size());
    r->bits.assign(n, false);
    for (size_t i = 0; i < n; ++i) {
        bool x = i < a->bits.size() && a->bits[i];
        bool y = i < b->bits.size() && b->bits[i];
        r->bits[i] = op == Tok::Plus ? (x || y) : op == Tok::Star ? (x && y) : (x && !y);
    }
    while (!r->bits.empty() && !r->bits.back() && op != Tok::Plus) r->bits.pop_back();
    return r;
}

BitArray* bits_of(Value** args, int count, const char* fn) {
    if (count != 1) throw ArgCountError(fn, 1, count);
    if (args[0]->tag != &BitArray_class) throw TypeError(fn, args[0], &BitArray_class);
    return static_cast<BitArray*>(args[0]);
}

}  // namespace

Value* bit_array_op(Tok op, BitArray* a, Value* b) {
    if (op == Tok::Eq || op == Tok::Ne) {
        bool same = b->tag == &BitArray_class && bit_array_indices(a) == bit_array_indices(static_cast<BitArray*>(b));
        return (op == Tok::Eq) == same ? &true_value : &false_value;
    }
    if (op != Tok::Plus && op != Tok::Minus && op != Tok::Star) throw NoMethodError(token_spelling(op), a);
    if (b->tag != &BitArray_class) throw TypeError(token_spelling(op), b, &BitArray_class);
    return combine(a, static_cast<BitArray*>(b), op);
}

// -b: every bit of its count flipped.
Value* bit_array_negate(BitArray* a) {
    auto* r = new BitArray();
    r->bits = a->bits;
    r->bits.flip();
    return r;
}

Value* bit_array_convert(Value* v, ValueMetaClass* cls) {
    if (cls == &BitArray_class) {
        if (v->tag == &BitArray_class) {
            auto* r = new BitArray();
            r->bits = static_cast<BitArray*>(v)->bits;
            return r;
        }
        if (v->tag == &Array_class) {
            auto* a = static_cast<Array*>(v);
            for (int i = 0; i < a->size; ++i) {
                Value* e = a->data[static_cast<size_t>(i)];
                if (!e || e->tag != &Integer_class || static_cast<Integer*>(e)->value < 1) throw ConversionError(v, "BitArray");
            }
            auto* r = new BitArray();  // nothing below allocates: no need to root it
            for (int i = 0; i < a->size; ++i) r->set(static_cast<Integer*>(a->data[static_cast<size_t>(i)])->value, true);
            return r;
        }
        throw ConversionError(v, "BitArray");
    }
    if (cls == &Array_class && v->tag == &BitArray_class) {
        auto* a = new Array(0);
        for (int i : bit_array_indices(static_cast<BitArray*>(v))) a->append(make_int(i));
        return a;
    }
    return nullptr;
}

void define_bit_array_builtins(BuiltinDefiner define) {
    define("isEmpty", [](Value** args, int count) -> Value* {
        check_arg_count(isEmpty, 1, count);
        if (args[0]->tag == &Array_class) return static_cast<Array*>(args[0])->size == 0 ? &true_value : &false_value;
        return bits_of(args, count, "isEmpty")->number_set() == 0 ? &true_value : &false_value;
    });
}

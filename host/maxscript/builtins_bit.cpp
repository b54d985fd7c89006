// builtins_bit.cpp - bit.and, bit.or, ...: bit operations on 32-bit integers, reached as properties of the global bit.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"

namespace {

uint32_t bits(const BuiltinArgs& a, int i) { return static_cast<uint32_t>(a.integer(i)); }
Value* integer(uint32_t v) { return Integer::intern(static_cast<int>(v)); }

// Bit positions count from 1 (the lowest bit) to 32.
int position(const BuiltinArgs& a, int i) {
    const int p = a.integer(i);
    if (p < 1 || p > 32) throw RuntimeError(std::string(a.fn) + ": bit position out of range: " + std::to_string(p));
    return p - 1;
}

using Body = Value* (*)(const BuiltinArgs&);

struct BitFunction {
    const char* name;
    int arity;
    Body body;
};

const BitFunction kFunctions[] = {
    {"and", 2, [](const BuiltinArgs& a) { return integer(bits(a, 0) & bits(a, 1)); }},
    {"or", 2, [](const BuiltinArgs& a) { return integer(bits(a, 0) | bits(a, 1)); }},
    {"xor", 2, [](const BuiltinArgs& a) { return integer(bits(a, 0) ^ bits(a, 1)); }},
    {"not", 1, [](const BuiltinArgs& a) { return integer(~bits(a, 0)); }},
    // Left for a positive count, right (filling with zeros) for a negative one.
    {"shift", 2,
     [](const BuiltinArgs& a) {
         const int n = a.integer(1);
         if (n >= 32 || n <= -32) return integer(0);
         return integer(n >= 0 ? bits(a, 0) << n : bits(a, 0) >> -n);
     }},
    {"set", 3,
     [](const BuiltinArgs& a) {
         const uint32_t mask = 1u << position(a, 1);
         return integer(a[2]->to_bool() ? bits(a, 0) | mask : bits(a, 0) & ~mask);
     }},
    {"get", 2, [](const BuiltinArgs& a) { return bool_result(bits(a, 0) & (1u << position(a, 1))); }},
    {"flip", 2, [](const BuiltinArgs& a) { return integer(bits(a, 0) ^ (1u << position(a, 1))); }},
    {"intAsChar", 1,
     [](const BuiltinArgs& a) -> Value* {
         const char text[2] = {static_cast<char>(bits(a, 0) & 0xFF), 0};
         return new String(text);
     }},
    {"charAsInt", 1,
     [](const BuiltinArgs& a) {
         const std::string s = a.text(0);
         return Integer::intern(s.empty() ? 0 : static_cast<unsigned char>(s[0]));
     }},
    {"intAsHex", 1,
     [](const BuiltinArgs& a) -> Value* {
         char text[16];
         std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(bits(a, 0)));
         return new String(text);
     }},
    {"hexAsInt", 1,
     [](const BuiltinArgs& a) {
         const std::string s = a.text(0);
         uint32_t v = 0;
         for (char c : s) {
             const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                         : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
             if (d < 0) throw RuntimeError("bit.hexAsInt: not a hexadecimal number: \"" + s + "\"");
             v = v * 16 + uint32_t(d);
         }
         return integer(v);
     }},
    {"intAsFloat", 1,
     [](const BuiltinArgs& a) {
         const uint32_t b = bits(a, 0);
         float f;
         std::memcpy(&f, &b, sizeof f);
         return Float::intern(f);
     }},
    {"floatAsInt", 1,
     [](const BuiltinArgs& a) {
         const float f = a.number(0);
         uint32_t b;
         std::memcpy(&b, &f, sizeof b);
         return integer(b);
     }},
    {"swapBytes", 3,
     [](const BuiltinArgs& a) {
         const int i = a.integer(1), j = a.integer(2);
         if (i < 1 || i > 4 || j < 1 || j > 4) throw RuntimeError("bit.swapBytes: byte position out of range");
         uint32_t v = bits(a, 0);
         const uint32_t bi = (v >> ((i - 1) * 8)) & 0xFF, bj = (v >> ((j - 1) * 8)) & 0xFF;
         v &= ~((0xFFu << ((i - 1) * 8)) | (0xFFu << ((j - 1) * 8)));
         return integer(v | (bi << ((j - 1) * 8)) | (bj << ((i - 1) * 8)));
     }},
};

// The global bit: its properties are the functions (bit.and 5 3).
class BitInterface : public Value {
public:
    BitInterface() {
        tag = &bit_class;
        for (const BitFunction& f : kFunctions) {
            const std::string full = std::string("bit.") + f.name;
            auto* fn = new NativeFunction(full.c_str(), [f, full](Value** args, int count) {
                BuiltinArgs a(full.c_str(), args, count);
                a.expect(f.arity);
                return f.body(a);
            });
            fn->make_permanent();
            functions[Name::intern(f.name)] = fn;
        }
        make_permanent();
    }
    Value* get_property(Value** arg_list, int count) override {
        auto found = functions.find(arg_list[0]);
        if (found == functions.end()) return Value::get_property(arg_list, count);
        return found->second;
    }
    Value* get_props_vf(Value**, int) override {
        auto* names = new Array(0);
        for (const BitFunction& f : kFunctions) names->append(Name::intern(f.name));
        return names;
    }
    void sprin1(CharStream* s) override { s->puts("<Interface:bit>"); }
    void gc_trace() override {
        Value::gc_trace();
        for (auto& entry : functions) heap_detail::trace(entry.second);
    }
    static ValueMetaClass bit_class;

private:
    std::map<Value*, Value*> functions;
};

ValueMetaClass BitInterface::bit_class("Interface");

}  // namespace

void define_bit_builtins(BuiltinDefiner define) {
    static BitInterface* bit = new BitInterface;
    define.value("bit", bit);
}

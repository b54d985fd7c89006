// grammar_values.h - the values literals and operators of the full grammar make: time,
// bit arrays, Point4 and references (&x).
#pragma once
#include <vector>

#include "host/maxscript/builtins.h"
#include "host/maxscript/lexer.h"
#include "host/maxscript/script_values.h"

struct GlobalCell;

extern HOSTSDK_API ValueMetaClass Time_class;
extern HOSTSDK_API ValueMetaClass BitArray_class;
extern HOSTSDK_API ValueMetaClass Point4Value_class;
extern HOSTSDK_API ValueMetaClass Reference_class;

constexpr int kTicksPerSecond = 4800;
constexpr int kTicksPerFrame = 160;  // 30 frames a second

// Animation time in ticks; numbers mixed with it count frames.
class HOSTSDK_API MSTime : public Value {
public:
    int ticks;
    explicit MSTime(int t) : ticks(t) { tag = &Time_class; }
    void sprin1(CharStream* s) override;  // 10f, 18.25f
    Value* get_property(Value** arg_list, int count) override;  // ticks, frame, normalized
    float to_float() override { return static_cast<float>(ticks) / kTicksPerFrame; }
    int to_int() override { return ticks / kTicksPerFrame; }
};
Value* make_time_ticks(double ticks);

class HOSTSDK_API BitArray : public Value {
public:
    std::vector<bool> bits;  // bit i+1 is bits[i]
    BitArray() { tag = &BitArray_class; }
    void sprin1(CharStream* s) override;  // #{1, 3..5}
    Value* get_property(Value** arg_list, int count) override;  // count, numberSet
    Value* set_property(Value** arg_list, int count) override;  // count
    int number_set() const;
    void set(int index, bool on);
};

class HOSTSDK_API Point4Value : public Value {
public:
    float v[4];
    Point4Value(float x, float y, float z, float w) : v{x, y, z, w} { tag = &Point4Value_class; }
    void sprin1(CharStream* s) override;  // [1,2,3,4]
    Value* get_property(Value** arg_list, int count) override;
    Value* set_property(Value** arg_list, int count) override;
};

// What &x made: where the caller's variable, property or element lives.
class HOSTSDK_API Reference : public Value {
public:
    Value* box = nullptr;       // a local's or captured variable's Box
    GlobalCell* cell = nullptr;  // a global
    Value* object = nullptr;    // a property (key is its name) or an element (key is its index)
    Value* key = nullptr;
    bool element = false;
    Reference() { tag = &Reference_class; }
    Value* get();
    Value* set(Value* v);
    void sprin1(CharStream* s) override;  // &<the value>
    void gc_trace() override;
};

// The grammar's share of the operators: null when a and b are none of these values.
Value* grammar_binary_op(Tok op, Value* a, Value* b);
Value* grammar_negate(Value* a);
Value* grammar_convert(Value* v, ValueMetaClass* cls);
bool grammar_equal(Value* a, Value* b, bool& handled);
Value* bit_array_index(BitArray* b, int index);
// Every set bit's index, for for-loops over a bit array.
std::vector<int> bit_array_indices(BitArray* b);

void define_grammar_builtins(BuiltinDefiner define);
// The macros interface (macros.run), a global of its own.
Value* macros_interface();

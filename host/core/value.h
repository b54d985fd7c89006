// value.h - script values: the base class, metaclasses, scalars, names and arrays.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "host/core/heap.h"
#include "host/core/mchar.h"
#include "host/core/win_types.h"

class ValueMetaClass;
class CharStream;
class INode;
class Control;
class MtlBase;

struct Point2 {
    float x = 0, y = 0;
};

// Anything a script can hold.
class HOSTSDK_API Value : public Collectable {
public:
    ValueMetaClass* tag = nullptr;

    // Printing: sprin1 is the script's print form ("abc" with quotes for strings).
    virtual void sprin1(CharStream* s);
    // The print form without quotes (what `print` and `as string` show).
    virtual void sprint(CharStream* s) { sprin1(s); }

    // Class queries. The _vf forms take the script's arguments after the value itself.
    virtual BOOL is_kind_of(ValueMetaClass* c);
    virtual Value* classOf_vf(Value** arg_list, int count);
    virtual Value* superClassOf_vf(Value** arg_list, int count);
    virtual Value* isKindOf_vf(Value** arg_list, int count);

    // get: arg_list[0] is the name. set: arg_list[0] the value, arg_list[1] the name.
    virtual Value* get_property(Value** arg_list, int count);
    virtual Value* set_property(Value** arg_list, int count);

    // getPropNames: arg_list holds the arguments after the value; an Array of Names.
    virtual Value* get_props_vf(Value** arg_list, int count);
    // value[index] for classes that index themselves: arg_list[0] is the index.
    virtual Value* get_vf(Value** arg_list, int count);

    // Calling the value as a function.
    virtual Value* apply(Value** arg_list, int count);

    // Conversions; each raises ConversionError unless the class answers it.
    virtual int to_int();
    virtual float to_float();
    virtual const MCHAR* to_string();
    virtual BOOL to_bool();
    virtual Point2 to_point2();
    virtual COLORREF to_colorref();
    virtual INode* to_node();
    virtual MtlBase* to_mtlbase();
    virtual Control* to_controller();

    void gc_trace() override;
    Value() = default;
    ~Value() override;

protected:
    explicit Value(heap_detail::LeafTag t) noexcept : Collectable(t) {}
};

// The class of a value class ("Integer", "SchematicControl", ...).
class HOSTSDK_API ValueMetaClass : public Value {
public:
    const MCHAR* name;
    ValueMetaClass* super_class = nullptr;  // what superClassOf answers for instances; may be null

    explicit ValueMetaClass(const MCHAR* name);
    // The host's own classes also name their super class.
    ValueMetaClass(const MCHAR* name, ValueMetaClass* super_class);
    void sprin1(CharStream* s) override;
    void collect() override;
};

// The metaclass of metaclasses, and the host's value classes.
extern HOSTSDK_API ValueMetaClass value_metaclass;
extern HOSTSDK_API ValueMetaClass Value_class;
extern HOSTSDK_API ValueMetaClass Integer_class;
extern HOSTSDK_API ValueMetaClass Float_class;
extern HOSTSDK_API ValueMetaClass String_class;
extern HOSTSDK_API ValueMetaClass Name_class;
extern HOSTSDK_API ValueMetaClass Boolean_class;
extern HOSTSDK_API ValueMetaClass Ok_class;
extern HOSTSDK_API ValueMetaClass Undefined_class;
extern HOSTSDK_API ValueMetaClass Point2Value_class;
extern HOSTSDK_API ValueMetaClass Point3Value_class;
extern HOSTSDK_API ValueMetaClass ColorValue_class;
extern HOSTSDK_API ValueMetaClass Array_class;
extern HOSTSDK_API ValueMetaClass Function_class;

class HOSTSDK_API Integer : public Value {
public:
    int value;
    explicit Integer(int v);
    Integer(int v, heap_detail::LeafTag t) noexcept : Value(t), value(v) { tag = &Integer_class; }
    static Value* intern(int v);  // a new heap Integer (small ints are not shared)
    void sprin1(CharStream* s) override;
    int to_int() override { return value; }
    float to_float() override { return static_cast<float>(value); }
    BOOL to_bool() override { return value != 0; }
};

class HOSTSDK_API Float : public Value {
public:
    float value;
    explicit Float(float v);
    Float(float v, heap_detail::LeafTag t) noexcept : Value(t), value(v) { tag = &Float_class; }
    static Value* intern(float v);
    void sprin1(CharStream* s) override;
    int to_int() override;  // truncates toward zero
    float to_float() override { return value; }
};

class HOSTSDK_API String : public Value {
public:
    std::basic_string<MCHAR> text;
    explicit String(const MCHAR* s);
    void sprin1(CharStream* s) override;   // "text" with quotes
    void sprint(CharStream* s) override;   // text without quotes
    const MCHAR* to_string() override { return text.c_str(); }
    Value* get_property(Value** arg_list, int count) override;  // count
};

// Interned, case-insensitive names: one Value per text, compared by identity.
class HOSTSDK_API Name : public Value {
public:
    std::basic_string<MCHAR> text;  // the spelling first interned
    static Value* intern(const MCHAR* s);
    // Lookup without creating; null when the name was never interned.
    static Value* find(const MCHAR* s);
    // How many names have been interned in this process.
    static int interned_count();
    void sprin1(CharStream* s) override;  // #text
    const MCHAR* to_string() override { return text.c_str(); }

private:
    explicit Name(const MCHAR* s);
};

class HOSTSDK_API Boolean : public Value {
public:
    explicit Boolean(bool v);
    bool value;
    void sprin1(CharStream* s) override;
    BOOL to_bool() override { return value; }
};

class HOSTSDK_API Ok : public Value {
public:
    Ok();
    void sprin1(CharStream* s) override;
};

class HOSTSDK_API Undefined : public Value {
public:
    Undefined();
    void sprin1(CharStream* s) override;
};

extern HOSTSDK_API Boolean true_value;
extern HOSTSDK_API Boolean false_value;
extern HOSTSDK_API Ok ok;
extern HOSTSDK_API Undefined undefined;

inline Value* bool_result(bool b) { return b ? static_cast<Value*>(&true_value) : &false_value; }

class HOSTSDK_API Point2Value : public Value {
public:
    Point2 p;
    explicit Point2Value(Point2 p);
    Point2Value(float x, float y);
    void sprin1(CharStream* s) override;  // [x,y]
    Point2 to_point2() override { return p; }
};

class HOSTSDK_API Point3Value : public Value {
public:
    float x, y, z;
    Point3Value(float x, float y, float z);
    void sprin1(CharStream* s) override;  // [1,2,3]
};

class HOSTSDK_API ColorValue : public Value {
public:
    float r, g, b;  // 0..255
    explicit ColorValue(COLORREF c);
    ColorValue(float r, float g, float b);
    void sprin1(CharStream* s) override;  // (color r g b)
    COLORREF to_colorref() override;      // clamps each channel to 0..255
};

class HOSTSDK_API Array : public Value {
public:
    int size = 0;          // elements in use
    int data_size = 0;     // elements allocated
    Value** data = nullptr;
    explicit Array(int init_size);
    ~Array() override;
    Value* append(Value* v);
    // The element at 0-based index i, growing the array with undefined as needed.
    Value* put(int i, Value* v);
    // Removes element i (0-based) and closes the gap.
    void remove(int i);
    // Puts v before element i (0-based; i == size appends).
    void insert(int i, Value* v);
    // Cuts the array to n elements, or pads it with undefined.
    void resize(int n);
    // Makes room for n elements without changing size.
    void reserve(int n);
    void sprin1(CharStream* s) override;  // #(a, b)
    Value* get_property(Value** arg_list, int count) override;  // count
    void gc_trace() override;
};

// The elements of an array, for the host's own loops.
struct ArrayElements {
    Value** first;
    Value** last;
    Value** begin() const { return first; }
    Value** end() const { return last; }
};
inline ArrayElements elements_of(Array* a) { return {a->data, a->data + a->size}; }

// Text sink for printing (the listener, tests, error messages).
class HOSTSDK_API CharStream : public Value {
public:
    virtual void puts(const MCHAR* s) = 0;
    int printf(const MCHAR* format, ...);
};

// Text gathered in memory; a value like any other, read back with to_string().
class HOSTSDK_API StringStream : public CharStream {
public:
    std::basic_string<MCHAR> text;
    StringStream() = default;
    explicit StringStream(const MCHAR* init) : text(init ? init : _M("")) {}
    void puts(const MCHAR* s) override { if (s) text += s; }
    const MCHAR* to_string() override { return text.c_str(); }
};

// Class tests spelled as plug-ins spell them.
#define class_tag(c) (&c##_class)
#define is_integer(v) ((v)->tag == class_tag(Integer))
#define is_float(v) ((v)->tag == class_tag(Float))
#define is_string(v) ((v)->tag == class_tag(String))
#define is_name(v) ((v)->tag == class_tag(Name))
#define is_array(v) ((v)->tag == class_tag(Array))
#define is_color(v) ((v)->tag == class_tag(ColorValue))
#define is_point2(v) ((v)->tag == class_tag(Point2Value))

// The print form of a value, as a string (errors and tests use it).
HOSTSDK_API std::basic_string<MCHAR> print_form(Value* v);

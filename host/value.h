// value.h - script values: the base class, metaclasses, scalars, names and arrays.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "host/heap.h"

class ValueMetaClass;
class CharStream;
class INode;
class Control;
class MtlBase;

using COLORREF_T = uint32_t;  // 0x00BBGGRR, same bits as Win32 COLORREF

struct Point2 {
    float x = 0, y = 0;
};

// Anything a script can hold.
class HOSTSDK_API Value : public Collectable {
public:
    ValueMetaClass* tag = nullptr;

    // Printing: sprin1 is the script's print form ("abc" with quotes for strings).
    virtual void sprin1(CharStream* s);
    virtual void print(CharStream* s) { sprin1(s); }

    // Class queries. The _vf forms take the script's arguments after the value itself.
    virtual bool is_kind_of(ValueMetaClass* c);
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
    virtual const char* to_string();
    virtual bool to_bool();
    virtual Point2 to_point2();
    virtual COLORREF_T to_colorref();
    virtual INode* to_node();
    virtual MtlBase* to_mtlbase();
    virtual Control* to_controller();

    void gc_trace() override;
    ~Value() override;
};

// The class of a value class ("Integer", "SchematicControl", ...).
class HOSTSDK_API ValueMetaClass : public Value {
public:
    const char* name;
    ValueMetaClass* super_class;  // what superClassOf answers for instances; may be null

    explicit ValueMetaClass(const char* name, ValueMetaClass* super_class = nullptr);
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
    static Value* intern(int v);  // a new heap Integer (small ints are not shared)
    void sprin1(CharStream* s) override;
    int to_int() override { return value; }
    float to_float() override { return static_cast<float>(value); }
    bool to_bool() override { return value != 0; }
};

class HOSTSDK_API Float : public Value {
public:
    float value;
    explicit Float(float v);
    static Value* intern(float v);
    void sprin1(CharStream* s) override;
    int to_int() override;  // truncates toward zero
    float to_float() override { return value; }
};

class HOSTSDK_API String : public Value {
public:
    std::string text;
    explicit String(const char* s);
    void sprin1(CharStream* s) override;   // "text" with quotes
    void print(CharStream* s) override;    // text without quotes
    const char* to_string() override { return text.c_str(); }
    Value* get_property(Value** arg_list, int count) override;  // count
};

// Interned, case-insensitive names: one Value per text, compared by identity.
class HOSTSDK_API Name : public Value {
public:
    std::string text;  // the spelling first interned
    static Value* intern(const char* s);
    // Lookup without creating; null when the name was never interned.
    static Value* find(const char* s);
    // How many names have been interned in this process.
    static int interned_count();
    void sprin1(CharStream* s) override;  // #text
    const char* to_string() override { return text.c_str(); }

private:
    explicit Name(const char* s);
};

class HOSTSDK_API Boolean : public Value {
public:
    explicit Boolean(bool v);
    bool value;
    void sprin1(CharStream* s) override;
    bool to_bool() override { return value; }
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
    explicit ColorValue(COLORREF_T c);
    ColorValue(float r, float g, float b);
    void sprin1(CharStream* s) override;  // (color r g b)
    COLORREF_T to_colorref() override;    // clamps each channel to 0..255
};

class HOSTSDK_API Array : public Value {
public:
    std::vector<Value*> data;
    Array();
    Value* append(Value* v);
    int size() const { return static_cast<int>(data.size()); }
    void sprin1(CharStream* s) override;  // #(a, b)
    Value* get_property(Value** arg_list, int count) override;  // count
    void gc_trace() override;
};

// Text sink for printing (the listener, tests, error messages).
class HOSTSDK_API CharStream {
public:
    virtual ~CharStream() = default;
    virtual void puts(const char* s) = 0;
    void printf(const char* format, ...);
};

class HOSTSDK_API StringStream : public CharStream {
public:
    std::string text;
    void puts(const char* s) override { text += s; }
};

// The print form of a value, as a string (errors and tests use it).
HOSTSDK_API std::string print_form(Value* v);

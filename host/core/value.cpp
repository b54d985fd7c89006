// value.cpp - script values: class queries, conversions, print forms, interned names.
#include "host/core/value.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <map>

#include "host/core/errors.h"
#include "host/core/heap_internal.h"

ValueMetaClass value_metaclass("ValueMetaClass");
ValueMetaClass Value_class("Value");
ValueMetaClass Integer_class("Integer");
ValueMetaClass Float_class("Float");
ValueMetaClass String_class("String");
ValueMetaClass Name_class("Name");
ValueMetaClass Boolean_class("BooleanClass");
ValueMetaClass Ok_class("OkClass");
ValueMetaClass Undefined_class("UndefinedClass");
ValueMetaClass Point2Value_class("Point2");
ValueMetaClass Point3Value_class("Point3");
ValueMetaClass ColorValue_class("Color");
ValueMetaClass Array_class("Array");
ValueMetaClass Function_class("Primitive");

Boolean true_value(true);
Boolean false_value(false);
Ok ok;
Undefined undefined;

namespace {

// Components of points and colours print bare ("[1,2]", "(color 224 198 87)").
std::string number_text(float v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
    return buf;
}

// A Float always shows it is one: 1.0, not 1.
std::string float_text(float v) {
    std::string s = number_text(v);
    if (s.find_first_of(".e") == std::string::npos && s.find("inf") == std::string::npos &&
        s.find("nan") == std::string::npos)
        s += ".0";
    return s;
}

std::string fold_case(const char* s) {
    std::string folded(s ? s : "");
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

bool plain_name(const std::string& text) {
    if (text.empty() || std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

int channel(float v) {
    if (!(v > 0)) return 0;  // NaN too
    if (v >= 255) return 255;
    return static_cast<int>(v);
}

}  // namespace

// ---- Value ----

void Value::sprin1(CharStream* s) {
    s->printf("<%s>", tag ? tag->name : "Value");
}

BOOL Value::is_kind_of(ValueMetaClass* c) {
    if (c == &Value_class) return TRUE;
    for (ValueMetaClass* k = tag; k; k = k->super_class) {
        if (k == c) return TRUE;
        if (k->super_class == k) break;
    }
    return FALSE;
}

Value* Value::classOf_vf(Value** arg_list, int count) {
    check_arg_count(classOf, 1, count + 1);
    return tag ? static_cast<Value*>(tag) : &Value_class;
}

Value* Value::superClassOf_vf(Value** arg_list, int count) {
    check_arg_count(superClassOf, 1, count + 1);
    if (tag && tag->super_class) return tag->super_class;
    return &Value_class;
}

Value* Value::isKindOf_vf(Value** arg_list, int count) {
    check_arg_count(isKindOf, 2, count + 1);
    Value* c = arg_list[0];
    if (c && c->tag == &value_metaclass) return bool_result(is_kind_of(static_cast<ValueMetaClass*>(c)));
    return &false_value;
}

Value* Value::get_property(Value** arg_list, int count) {
    throw UnknownPropertyError(this, count > 0 ? arg_list[0] : nullptr);
}

Value* Value::set_property(Value** arg_list, int count) {
    throw UnknownPropertyError(this, count > 1 ? arg_list[1] : nullptr);
}

Value* Value::get_props_vf(Value** arg_list, int count) { return new Array(0); }

Value* Value::get_vf(Value** arg_list, int count) {
    throw TypeError("[] needs an array, string or point", this, &Array_class);
}

Value* Value::apply(Value** arg_list, int count) {
    throw RuntimeError("Call needs function or class, got: " + print_form(this));
}

Value::~Value() {
#if defined(VANTREL_POISON_FREED)
    heap_detail::note_freed_class(this, tag);
#endif
}

int Value::to_int() { throw ConversionError(this, "Integer"); }
float Value::to_float() { throw ConversionError(this, "Float"); }
const char* Value::to_string() { throw ConversionError(this, "String"); }
BOOL Value::to_bool() { throw ConversionError(this, "BooleanClass"); }
Point2 Value::to_point2() { throw ConversionError(this, "Point2"); }
COLORREF Value::to_colorref() { throw ConversionError(this, "Color"); }
INode* Value::to_node() { throw ConversionError(this, "node"); }
MtlBase* Value::to_mtlbase() { throw ConversionError(this, "material"); }
Control* Value::to_controller() { throw ConversionError(this, "controller"); }

void Value::gc_trace() {
    Collectable::gc_trace();
    heap_detail::trace(tag);
}

// ---- ValueMetaClass ----

ValueMetaClass::ValueMetaClass(const MCHAR* name) : name(name) { tag = &value_metaclass; }

ValueMetaClass::ValueMetaClass(const MCHAR* name, ValueMetaClass* super_class)
    : name(name), super_class(super_class) {
    tag = &value_metaclass;
}

void ValueMetaClass::sprin1(CharStream* s) {
    s->puts(name);
}

void ValueMetaClass::collect() {
    delete this;
}

// ---- scalars ----

Integer::Integer(int v) : value(v) { tag = &Integer_class; }
Value* Integer::intern(int v) { return heap_detail::new_leaf<Integer>(v); }
void Integer::sprin1(CharStream* s) { s->printf("%d", value); }

Float::Float(float v) : value(v) { tag = &Float_class; }
Value* Float::intern(float v) { return heap_detail::new_leaf<Float>(v); }
void Float::sprin1(CharStream* s) { s->puts(float_text(value).c_str()); }

int Float::to_int() {
    if (std::isnan(value)) throw ConversionError(this, "Integer");
    if (value >= 2147483647.0f) return INT_MAX;
    if (value <= -2147483648.0f) return INT_MIN;
    return static_cast<int>(value);  // truncates toward zero
}

String::String(const char* s) : text(s ? s : "") { tag = &String_class; }

void String::sprin1(CharStream* s) {
    std::string quoted = "\"";
    for (char c : text) {
        switch (c) {
            case '"': quoted += "\\\""; break;
            case '\\': quoted += "\\\\"; break;
            case '\n': quoted += "\\n"; break;
            case '\t': quoted += "\\t"; break;
            default: quoted += c;
        }
    }
    quoted += '"';
    s->puts(quoted.c_str());
}

void String::sprint(CharStream* s) { s->puts(text.c_str()); }

Value* String::get_property(Value** arg_list, int count) {
    if (count > 0 && arg_list[0] == Name::intern("count"))
        return Integer::intern(static_cast<int>(text.size()));
    return Value::get_property(arg_list, count);
}

Boolean::Boolean(bool v) : value(v) { tag = &Boolean_class; }
void Boolean::sprin1(CharStream* s) { s->puts(value ? "true" : "false"); }

Ok::Ok() { tag = &Ok_class; }
void Ok::sprin1(CharStream* s) { s->puts("OK"); }

Undefined::Undefined() { tag = &Undefined_class; }
void Undefined::sprin1(CharStream* s) { s->puts("undefined"); }

// ---- names ----

namespace {
// Keyed by the case-folded text. Leaked: names live as long as the process.
std::map<std::string, Name*>& name_table() {
    static auto* table = new std::map<std::string, Name*>;
    return *table;
}
}  // namespace

Name::Name(const char* s) : text(s ? s : "") { tag = &Name_class; }

Value* Name::intern(const char* s) {
    auto& table = name_table();
    std::string key = fold_case(s);
    auto it = table.find(key);
    if (it != table.end()) return it->second;
    Name* name = new Name(s);
    name->make_permanent();
    table.emplace(std::move(key), name);
    return name;
}

Value* Name::find(const char* s) {
    auto& table = name_table();
    auto it = table.find(fold_case(s));
    return it == table.end() ? nullptr : it->second;
}

int Name::interned_count() {
    return static_cast<int>(name_table().size());
}

void Name::sprin1(CharStream* s) {
    if (plain_name(text))
        s->printf("#%s", text.c_str());
    else
        s->printf("#'%s'", text.c_str());
}

// ---- points, colours, arrays ----

Point2Value::Point2Value(Point2 p) : p(p) { tag = &Point2Value_class; }
Point2Value::Point2Value(float x, float y) : p{x, y} { tag = &Point2Value_class; }

void Point2Value::sprin1(CharStream* s) {
    s->printf("[%s,%s]", number_text(p.x).c_str(), number_text(p.y).c_str());
}

Point3Value::Point3Value(float x, float y, float z) : x(x), y(y), z(z) { tag = &Point3Value_class; }

void Point3Value::sprin1(CharStream* s) {
    s->printf("[%s,%s,%s]", number_text(x).c_str(), number_text(y).c_str(), number_text(z).c_str());
}

ColorValue::ColorValue(COLORREF c)
    : r(static_cast<float>(c & 0xff)),
      g(static_cast<float>((c >> 8) & 0xff)),
      b(static_cast<float>((c >> 16) & 0xff)) {
    tag = &ColorValue_class;
}

ColorValue::ColorValue(float r, float g, float b) : r(r), g(g), b(b) { tag = &ColorValue_class; }

void ColorValue::sprin1(CharStream* s) {
    s->printf("(color %s %s %s)", number_text(r).c_str(), number_text(g).c_str(),
              number_text(b).c_str());
}

COLORREF ColorValue::to_colorref() {
    return static_cast<COLORREF>(channel(r)) | (static_cast<COLORREF>(channel(g)) << 8) |
           (static_cast<COLORREF>(channel(b)) << 16);
}

Array::Array(int init_size) {
    tag = &Array_class;
    reserve(init_size);
}

Array::~Array() { delete[] data; }

void Array::reserve(int n) {
    if (n <= data_size) return;
    Value** grown = new Value*[static_cast<size_t>(n)]();
    std::copy(data, data + size, grown);
    delete[] data;
    data = grown;
    data_size = n;
}

Value* Array::append(Value* v) {
    if (size == data_size) reserve(data_size < 4 ? 4 : data_size * 2);
    data[size++] = v;
    return v;
}

Value* Array::put(int i, Value* v) {
    if (i < 0) return v;
    if (i >= data_size) reserve(std::max(i + 1, data_size * 2));
    for (; size <= i; ++size) data[size] = &undefined;
    data[i] = v;
    return v;
}

void Array::insert(int i, Value* v) {
    if (i < 0 || i > size) return;
    append(v);
    std::rotate(data + i, data + size - 1, data + size);
}

void Array::resize(int n) {
    if (n < 0) n = 0;
    if (n < size) size = n;
    else if (n > size) put(n - 1, &undefined);
}

void Array::remove(int i) {
    if (i < 0 || i >= size) return;
    std::copy(data + i + 1, data + size, data + i);
    --size;
}

void Array::sprin1(CharStream* s) {
    // An array that holds itself, or nesting past any sensible depth, prints as #(...).
    thread_local std::vector<Array*> printing;
    if (printing.size() >= 100 || std::find(printing.begin(), printing.end(), this) != printing.end()) {
        s->puts("#(...)");
        return;
    }
    printing.push_back(this);
    struct Pop {
        ~Pop() { printing.pop_back(); }
    } pop;
    s->puts("#(");
    for (int i = 0; i < size; ++i) {
        if (i) s->puts(", ");
        if (data[i])
            data[i]->sprin1(s);
        else
            s->puts("undefined");
    }
    s->puts(")");
}

Value* Array::get_property(Value** arg_list, int count) {
    if (count > 0 && arg_list[0] == Name::intern("count")) return Integer::intern(size);
    return Value::get_property(arg_list, count);
}

void Array::gc_trace() {
    Value::gc_trace();
    for (int i = 0; i < size; ++i) heap_detail::trace(data[i]);
}

// ---- streams ----

int CharStream::printf(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) return n;
    if (static_cast<size_t>(n) < sizeof small) {
        puts(small);
        return n;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    big.resize(static_cast<size_t>(n));
    puts(big.c_str());
    return n;
}

std::string print_form(Value* v) {
    if (!v) return "undefined";
    StringStream s;
    v->sprin1(&s);
    return s.text;
}

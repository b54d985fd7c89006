// operators.cpp - what + - * / ^ == < as . and [] do to each kind of value.
#include "host/maxscript/operators.h"

#include "host/maxscript/grammar_values.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "host/core/errors.h"
#include "host/maxscript/count_guard.h"
#include "host/maxscript/interp.h"
#include "host/maxscript/script_values.h"

Value* (*platform_property_hook)(Value* obj, Value* name) = nullptr;

namespace {

const char* op_text(Tok op) {
    switch (op) {
        case Tok::Plus: case Tok::PlusAssign: return "+";
        case Tok::Minus: case Tok::MinusAssign: return "-";
        case Tok::Star: case Tok::StarAssign: return "*";
        case Tok::Slash: case Tok::SlashAssign: return "/";
        case Tok::Caret: return "^";
        case Tok::Lt: return "<";
        case Tok::Gt: return ">";
        case Tok::Le: return "<=";
        case Tok::Ge: return ">=";
        default: return "?";
    }
}

bool is_number(Value* v) { return v->tag == &Integer_class || v->tag == &Float_class; }
float num(Value* v) { return v->tag == &Integer_class ? static_cast<float>(static_cast<Integer*>(v)->value) : static_cast<Float*>(v)->value; }

int int_pow(int base, int exp) {
    unsigned r = 1, b = static_cast<unsigned>(base);
    while (exp > 0) {
        if (exp & 1) r *= b;
        b *= b;
        exp >>= 1;
    }
    return static_cast<int>(r);
}

Value* compare(Tok op, int c) {
    switch (op) {
        case Tok::Lt: return bool_result(c < 0);
        case Tok::Gt: return bool_result(c > 0);
        case Tok::Le: return bool_result(c <= 0);
        default: return bool_result(c >= 0);
    }
}

Value* point_op(Tok op, Value* a, Value* b) {
    bool a3 = a->tag == &Point3Value_class, b3 = b->tag == &Point3Value_class;
    auto comps = [](Value* v, float* out) -> int {
        if (v->tag == &Point2Value_class) {
            Point2 p = static_cast<Point2Value*>(v)->p;
            out[0] = p.x; out[1] = p.y; out[2] = 0;
            return 2;
        }
        if (v->tag == &Point3Value_class) {
            auto* p = static_cast<Point3Value*>(v);
            out[0] = p->x; out[1] = p->y; out[2] = p->z;
            return 3;
        }
        if (is_number(v)) {
            out[0] = out[1] = out[2] = num(v);
            return 1;
        }
        return 0;
    };
    float x[3], y[3];
    int na = comps(a, x), nb = comps(b, y);
    if (!na) throw NoMethodError(op_text(op), a);
    if (!nb || (na == 1 && op != Tok::Star) || (na > 1 && nb > 1 && na != nb) ||
        ((op == Tok::Slash) && nb > 1))
        throw NoMethodError(op_text(op), a);
    float r[3];
    for (int i = 0; i < 3; ++i) {
        switch (op) {
            case Tok::Plus: r[i] = x[i] + y[i]; break;
            case Tok::Minus: r[i] = x[i] - y[i]; break;
            case Tok::Star: r[i] = x[i] * y[i]; break;
            default: r[i] = x[i] / y[i]; break;
        }
    }
    if (a3 || b3) return new Point3Value(r[0], r[1], r[2]);
    return new Point2Value(r[0], r[1]);
}

}  // namespace

void condition_error(Value* v) { throw TypeError("condition", v, &Boolean_class); }

Value* negate(Value* a) {
    if (a->tag == &Integer_class) return make_int(static_cast<int>(0u - static_cast<unsigned>(static_cast<Integer*>(a)->value)));
    if (a->tag == &Float_class) return make_float(-static_cast<Float*>(a)->value);
    if (a->tag == &Point2Value_class) {
        Point2 p = static_cast<Point2Value*>(a)->p;
        return new Point2Value(-p.x, -p.y);
    }
    if (a->tag == &Point3Value_class) {
        auto* p = static_cast<Point3Value*>(a);
        return new Point3Value(-p->x, -p->y, -p->z);
    }
    if (Value* r = grammar_negate(a)) return r;
    throw NoMethodError("-", a);
}

Value* binary_op(Tok op, Value* a, Value* b) {
    op = plain_operator(op);
    if (a->tag == &BitArray_class || a->tag == &Time_class || b->tag == &Time_class) return grammar_binary_op(op, a, b);
    if (a->tag == &Integer_class && b->tag == &Integer_class) {
        int x = static_cast<Integer*>(a)->value, y = static_cast<Integer*>(b)->value;
        unsigned ux = static_cast<unsigned>(x), uy = static_cast<unsigned>(y);
        switch (op) {
            case Tok::Plus: return make_int(static_cast<int>(ux + uy));
            case Tok::Minus: return make_int(static_cast<int>(ux - uy));
            case Tok::Star: return make_int(static_cast<int>(ux * uy));
            case Tok::Slash:
                if (y == 0) throw RuntimeError("Integer divide by zero");
                if (x == INT_MIN && y == -1) return make_int(INT_MIN);
                return make_int(x / y);
            case Tok::Caret:
                if (y >= 0) return make_int(int_pow(x, y));
                return make_float(std::pow(static_cast<float>(x), static_cast<float>(y)));
            case Tok::Eq: return bool_result(x == y);
            case Tok::Ne: return bool_result(x != y);
            default: return compare(op, x < y ? -1 : x > y ? 1 : 0);
        }
    }
    if (op == Tok::Eq) return bool_result(values_equal(a, b));
    if (op == Tok::Ne) return bool_result(!values_equal(a, b));
    if (is_number(a) && is_number(b)) {
        float x = num(a), y = num(b);
        switch (op) {
            case Tok::Plus: return make_float(x + y);
            case Tok::Minus: return make_float(x - y);
            case Tok::Star: return make_float(x * y);
            case Tok::Slash: return make_float(x / y);
            case Tok::Caret: return make_float(std::pow(x, y));
            default: return compare(op, x < y ? -1 : x > y ? 1 : 0);
        }
    }
    if (a->tag == &String_class) {
        if (b->tag != &String_class) {
            if (op == Tok::Plus) throw NoMethodError("+", a);
            throw NoMethodError(op_text(op), a);
        }
        const std::string& x = static_cast<String*>(a)->text;
        const std::string& y = static_cast<String*>(b)->text;
        if (op == Tok::Plus) return new String((x + y).c_str());
        if (op == Tok::Lt || op == Tok::Gt || op == Tok::Le || op == Tok::Ge) return compare(op, x.compare(y));
        throw NoMethodError(op_text(op), a);
    }
    if (a->tag == &Point2Value_class || a->tag == &Point3Value_class ||
        ((b->tag == &Point2Value_class || b->tag == &Point3Value_class) && is_number(a) && op == Tok::Star)) {
        if (op == Tok::Lt || op == Tok::Gt || op == Tok::Le || op == Tok::Ge || op == Tok::Caret)
            throw NoMethodError(op_text(op), a);
        return point_op(op, a, b);
    }
    if (is_number(a)) throw ConversionError(b, a->tag == &Integer_class ? "Integer" : "Float");
    throw NoMethodError(op_text(op), a);
}

bool values_equal(Value* a, Value* b) {
    if (a == b) return true;
    if (!a || !b) return false;
    bool handled;
    bool same = grammar_equal(a, b, handled);
    if (handled) return same;
    if (is_number(a) && is_number(b)) {
        if (a->tag == &Integer_class && b->tag == &Integer_class)
            return static_cast<Integer*>(a)->value == static_cast<Integer*>(b)->value;
        return num(a) == num(b);
    }
    if (a->tag != b->tag) return false;
    if (a->tag == &String_class) return static_cast<String*>(a)->text == static_cast<String*>(b)->text;
    if (a->tag == &Boolean_class) return static_cast<Boolean*>(a)->value == static_cast<Boolean*>(b)->value;
    if (a->tag == &Point2Value_class) {
        Point2 p = static_cast<Point2Value*>(a)->p, q = static_cast<Point2Value*>(b)->p;
        return p.x == q.x && p.y == q.y;
    }
    if (a->tag == &Point3Value_class) {
        auto *p = static_cast<Point3Value*>(a), *q = static_cast<Point3Value*>(b);
        return p->x == q->x && p->y == q->y && p->z == q->z;
    }
    if (a->tag == &ColorValue_class) {
        auto *p = static_cast<ColorValue*>(a), *q = static_cast<ColorValue*>(b);
        return p->r == q->r && p->g == q->g && p->b == q->b;
    }
    return false;
}

namespace {
// Whole text as a number; false when anything but blanks is left over.
bool parse_number(const std::string& s, double& out, bool& is_int) {
    const char* p = s.c_str();
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) return false;
    char* end = nullptr;
    out = std::strtod(p, &end);
    if (end == p) return false;
    std::string used(p, static_cast<const char*>(end));
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    is_int = used.find_first_of(".eE") == std::string::npos && used.find("inf") == std::string::npos &&
             used.find("nan") == std::string::npos && used.find("0x") == std::string::npos;
    return std::isfinite(out) || !is_int;
}
}  // namespace

Value* convert_as(Value* v, Value* target) {
    if (target->tag != &value_metaclass) throw TypeError("as requires a class", target, &value_metaclass);
    auto* cls = static_cast<ValueMetaClass*>(target);
    if (Value* r = grammar_convert(v, cls)) return r;
    if (cls == &String_class) {
        if (v->tag == &String_class) return v;
        if (v->tag == &Name_class) return new String(v->to_string());
        StringStream s;
        v->sprint(&s);
        return new String(s.text.c_str());
    }
    if (cls == &Integer_class || cls == &Float_class) {
        bool want_int = cls == &Integer_class;
        if (v->tag == &Integer_class) return want_int ? v : make_float(num(v));
        if (v->tag == &Float_class) {
            if (!want_int) return v;
            float f = static_cast<Float*>(v)->value;
            if (!(f > -2147483649.0f && f < 2147483648.0f)) throw ConversionError(v, "Integer");
            return make_int(static_cast<int>(f));
        }
        if (v->tag == &String_class) {
            double d;
            bool is_int;
            if (!parse_number(static_cast<String*>(v)->text, d, is_int)) return &undefined;
            if (want_int) {
                if (!(d > -2147483649.0 && d < 2147483648.0)) return &undefined;
                return make_int(static_cast<int>(d));
            }
            return make_float(static_cast<float>(d));
        }
        if (v->tag == &Boolean_class && want_int) return make_int(static_cast<Boolean*>(v)->value ? 1 : 0);
        throw ConversionError(v, cls->name);
    }
    if (cls == &Name_class) {
        if (v->tag == &Name_class) return v;
        if (v->tag == &String_class) return Name::intern(v->to_string());
        throw ConversionError(v, "Name");
    }
    if (cls == &Array_class) {
        if (v->tag == &Array_class) {
            auto* copy = new Array(0);
            auto* source = static_cast<Array*>(v);
            copy->reserve(source->size);
            for (int i = 0; i < source->size; ++i) copy->append(source->data[i]);
            return copy;
        }
        throw ConversionError(v, "Array");
    }
    if (cls == &Point2Value_class && v->tag == &Point3Value_class) {
        auto* p = static_cast<Point3Value*>(v);
        return new Point2Value(p->x, p->y);
    }
    if (cls == &Point3Value_class && v->tag == &Point2Value_class) {
        Point2 p = static_cast<Point2Value*>(v)->p;
        return new Point3Value(p.x, p.y, 0);
    }
    if (v->is_kind_of(cls)) return v;
    throw ConversionError(v, cls->name);
}

namespace {
Value* name_count() {
    static Value* n = Name::intern("count");
    return n;
}
int component_index(Value* name) {
    static Value* x = Name::intern("x");
    static Value* y = Name::intern("y");
    static Value* z = Name::intern("z");
    return name == x ? 0 : name == y ? 1 : name == z ? 2 : -1;
}
int color_index(Value* name) {
    static Value* r = Name::intern("r");
    static Value* g = Name::intern("g");
    static Value* b = Name::intern("b");
    static Value* red = Name::intern("red");
    static Value* green = Name::intern("green");
    static Value* blue = Name::intern("blue");
    return (name == r || name == red) ? 0 : (name == g || name == green) ? 1 : (name == b || name == blue) ? 2 : -1;
}
float* point_component(Value* obj, Value* name) {
    int i = component_index(name);
    if (i < 0) return nullptr;
    if (obj->tag == &Point2Value_class && i < 2) {
        Point2& p = static_cast<Point2Value*>(obj)->p;
        return i == 0 ? &p.x : &p.y;
    }
    if (obj->tag == &Point3Value_class) {
        auto* p = static_cast<Point3Value*>(obj);
        return i == 0 ? &p->x : i == 1 ? &p->y : &p->z;
    }
    return nullptr;
}
float* color_component(Value* obj, Value* name) {
    if (obj->tag != &ColorValue_class) return nullptr;
    int i = color_index(name);
    auto* c = static_cast<ColorValue*>(obj);
    return i == 0 ? &c->r : i == 1 ? &c->g : i == 2 ? &c->b : nullptr;
}
}  // namespace

Value* get_prop(Value* obj, Value* name) {
    if (name == name_count()) {
        if (obj->tag == &Array_class) return make_int(static_cast<Array*>(obj)->size);
        if (obj->tag == &String_class) return make_int(static_cast<int>(static_cast<String*>(obj)->text.size()));
    }
    if (float* f = point_component(obj, name)) return make_float(*f);
    if (float* f = color_component(obj, name)) return make_float(*f);
    if (platform_property_hook)
        if (Value* v = platform_property_hook(obj, name)) return v;
    Value* args[] = {name};
    Value* r;
    {
        CountGuard native(interp::native_depth);
        r = obj->get_property(args, 1);
    }
    return r ? r : &undefined;
}

Value* set_prop(Value* obj, Value* name, Value* value) {
    if (float* f = point_component(obj, name)) {
        *f = value->to_float();
        return value;
    }
    if (float* f = color_component(obj, name)) {
        *f = value->to_float();
        return value;
    }
    if (name == name_count() && obj->tag == &Array_class) {
        int n = value->to_int();
        if (n < 0 || n > (1 << 24)) throw RuntimeError("array count out of range: " + print_form(value));
        static_cast<Array*>(obj)->resize(n);
        return value;
    }
    Value* args[] = {value, name};
    Value* result;
    {
        CountGuard native(interp::native_depth);
        result = obj->set_property(args, 2);
    }
    // The object's answer is the assignment's value: queries written as assignments
    // (findNodeByPos, generateHLSL) answer through it.
    return result ? result : value;
}

namespace {
int index_of(Value* index) {
    if (index->tag != &Integer_class) {
        if (index->tag == &Float_class) return index->to_int();
        throw TypeError("index must be a number", index, &Integer_class);
    }
    return static_cast<Integer*>(index)->value;
}
}  // namespace

Value* get_index(Value* obj, Value* index) {
    int i = index_of(index);
    if (obj->tag == &BitArray_class) return bit_array_index(static_cast<BitArray*>(obj), i);
    if (obj->tag == &Array_class) {
        auto* a = static_cast<Array*>(obj);
        if (i < 1) throw RuntimeError("Array index out of bounds: " + print_form(index));
        if (i > a->size) return &undefined;
        Value* v = a->data[i - 1];
        return v ? v : &undefined;
    }
    if (obj->tag == &String_class) {
        const std::string& s = static_cast<String*>(obj)->text;
        if (i < 1 || i > static_cast<int>(s.size())) throw RuntimeError("String index out of bounds: " + print_form(index));
        return new String(s.substr(static_cast<size_t>(i - 1), 1).c_str());
    }
    if (obj->tag == &Point2Value_class || obj->tag == &Point3Value_class) {
        static Value* names[] = {Name::intern("x"), Name::intern("y"), Name::intern("z")};
        int n = obj->tag == &Point2Value_class ? 2 : 3;
        if (i < 1 || i > n) throw RuntimeError("Point index out of bounds: " + print_form(index));
        return get_prop(obj, names[i - 1]);
    }
    Value* args[] = {index};
    return obj->get_vf(args, 1);
}

Value* set_index(Value* obj, Value* index, Value* value) {
    int i = index_of(index);
    if (obj->tag == &BitArray_class) {
        static_cast<BitArray*>(obj)->set(i, truth(value));
        return value;
    }
    if (obj->tag == &Array_class) {
        auto* a = static_cast<Array*>(obj);
        if (i < 1) throw RuntimeError("Array index out of bounds: " + print_form(index));
        // Growing past the end fills the gap with undefined; a wild index is refused.
        if (i > (1 << 24)) throw RuntimeError("Array index too large: " + print_form(index));
        a->put(i - 1, value);
        return value;
    }
    if (obj->tag == &Point2Value_class || obj->tag == &Point3Value_class) {
        static Value* names[] = {Name::intern("x"), Name::intern("y"), Name::intern("z")};
        int n = obj->tag == &Point2Value_class ? 2 : 3;
        if (i < 1 || i > n) throw RuntimeError("Point index out of bounds: " + print_form(index));
        return set_prop(obj, names[i - 1], value);
    }
    throw TypeError("[] needs an array or point", obj, &Array_class);
}

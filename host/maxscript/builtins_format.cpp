// builtins_format.cpp - formattedPrint (printf-style fields) and stricmp.
#include <cctype>
#include <cstdio>
#include <string>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"

namespace {

// One field of a format as formattedPrint takes it, "[flags][width][.precision][size]type", checked
// here so that nothing but a well-formed field for the value's kind reaches snprintf.
struct FieldFormat {
    std::string flags_width_precision;
    char type = 0;
};

FieldFormat parse_spec(const std::string& text) {
    FieldFormat field;
    size_t i = 0;
    while (i < text.size() && std::string("-+0 #").find(text[i]) != std::string::npos) ++i;
    const size_t widthStart = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i - widthStart > 3) throw RuntimeError("formattedPrint: field width too large in \"" + text + "\"");
    if (i < text.size() && text[i] == '.') {
        const size_t precisionStart = ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        if (i - precisionStart > 2) throw RuntimeError("formattedPrint: precision too large in \"" + text + "\"");
    }
    field.flags_width_precision = text.substr(0, i);
    // Size prefixes (l, h, I64...) change nothing for the host's 32-bit values.
    while (i < text.size() && std::string("lhI6432").find(text[i]) != std::string::npos) ++i;
    if (i + 1 != text.size() || std::string("diouxXeEfgGaAcs").find(text[i]) == std::string::npos)
        throw RuntimeError("formattedPrint: not a format: \"" + text + "\"");
    field.type = text[i];
    return field;
}

std::string format_number(const FieldFormat& field, double value) {
    char out[512];
    const std::string f = "%" + field.flags_width_precision;
    switch (field.type) {
        case 'c':
            std::snprintf(out, sizeof out, (f + 'c').c_str(), static_cast<int>(value) & 0xFF);
            break;
        case 'd': case 'i': case 'o': case 'u': case 'x': case 'X':
            // A float under an integer format is truncated, not reinterpreted.
            std::snprintf(out, sizeof out, (f + "ll" + field.type).c_str(), static_cast<long long>(value));
            break;
        case 's':
            throw RuntimeError("formattedPrint: the format s is for strings");
        default:
            std::snprintf(out, sizeof out, (f + field.type).c_str(), value);
    }
    return out;
}

std::string format_one(const FieldFormat* field, Value* v) {
    if (v->tag == &Integer_class) {
        if (!field) return std::to_string(static_cast<Integer*>(v)->value);
        return format_number(*field, static_cast<Integer*>(v)->value);
    }
    if (v->tag == &Float_class) {
        static const FieldFormat fallback = parse_spec("0.8g");
        return format_number(field ? *field : fallback, static_cast<Float*>(v)->value);
    }
    if (v->tag == &String_class || v->tag == &Boolean_class) {
        const std::string text = v->tag == &String_class ? v->to_string() : print_text(v);
        if (!field) return text;
        if (field->type != 's') throw RuntimeError("formattedPrint: the format " + std::string(1, field->type) + " is not for strings");
        char out[4096];
        std::snprintf(out, sizeof out, ("%" + field->flags_width_precision + "s").c_str(), text.c_str());
        return out;
    }
    throw TypeError("formattedPrint", v, &Float_class);
}

// Points and colours apply the field to each component.
Value* formattedPrint(Value** args, int count) {
    BuiltinArgs a("formattedPrint", args, count);
    a.expect(1);
    Value* format = a.key("format");
    FieldFormat field;
    if (format) field = parse_spec(format->to_string());
    const FieldFormat* s = format ? &field : nullptr;
    Value* v = a[0];
    auto component = [&](float f) {
        Float value(f);
        return format_one(s, &value);
    };
    std::string text;
    if (v->tag == &Point2Value_class) {
        const Point2 p = v->to_point2();
        text = "[" + component(p.x) + "," + component(p.y) + "]";
    } else if (v->tag == &Point3Value_class) {
        auto* p = static_cast<Point3Value*>(v);
        text = "[" + component(p->x) + "," + component(p->y) + "," + component(p->z) + "]";
    } else if (v->tag == &ColorValue_class) {
        auto* c = static_cast<ColorValue*>(v);
        text = "(color " + component(c->r) + " " + component(c->g) + " " + component(c->b) + ")";
    } else {
        text = format_one(s, v);
    }
    return new String(text.c_str());
}

// stricmp a b: <0, 0 or >0 as a sorts before, with or after b, ignoring case.
Value* stricmp_(Value** args, int count) {
    BuiltinArgs a("stricmp", args, count);
    a.expect(2);
    const std::string x = a.text(0), y = a.text(1);
    for (size_t i = 0;; ++i) {
        const int cx = i < x.size() ? std::tolower(static_cast<unsigned char>(x[i])) : 0;
        const int cy = i < y.size() ? std::tolower(static_cast<unsigned char>(y[i])) : 0;
        if (cx != cy || cx == 0) return Integer::intern(cx - cy);
    }
}

}  // namespace

void define_format_builtins(BuiltinDefiner define) {
    define("formattedPrint", formattedPrint);
    define("stricmp", stricmp_);
}

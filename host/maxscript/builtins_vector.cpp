// builtins_vector.cpp - constants (pi, e, the named colours) and point arithmetic: length, distance, normalize, dot, cross.
#include <cmath>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"

namespace {

struct Vec {
    double x = 0, y = 0, z = 0;
    bool three = false;  // a Point3, not a Point2
};

// A Point2 or Point3 argument; with threeOnly, a Point3 alone.
Vec point_arg(const BuiltinArgs& a, int i, bool threeOnly = false) {
    Value* v = a[i];
    if (v->tag == &Point3Value_class) {
        auto* p = static_cast<Point3Value*>(v);
        return {p->x, p->y, p->z, true};
    }
    if (v->tag == &Point2Value_class && !threeOnly) {
        Point2 p = v->to_point2();
        return {p.x, p.y, 0, false};
    }
    throw TypeError(a.fn, v, &Point3Value_class);
}

Value* make_point(const Vec& v) {
    if (v.three) return new Point3Value(float(v.x), float(v.y), float(v.z));
    return new Point2Value(float(v.x), float(v.y));
}

double norm(const Vec& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

Value* length(Value** args, int count) {
    BuiltinArgs a("length", args, count);
    a.expect(1);
    return Float::intern(float(norm(point_arg(a, 0))));
}

// Both points of one kind: the distance between a Point2 and a Point3 means nothing.
Value* distance(Value** args, int count) {
    BuiltinArgs a("distance", args, count);
    a.expect(2);
    const Vec p = point_arg(a, 0), q = point_arg(a, 1, p.three);
    if (p.three != q.three) throw TypeError("distance", a[1], &Point2Value_class);
    return Float::intern(float(norm({q.x - p.x, q.y - p.y, q.z - p.z, p.three})));
}

// A zero vector stays zero rather than turning into NaNs.
Value* normalize(Value** args, int count) {
    BuiltinArgs a("normalize", args, count);
    a.expect(1);
    Vec v = point_arg(a, 0);
    const double n = norm(v);
    if (n > 0) v.x /= n, v.y /= n, v.z /= n;
    return make_point(v);
}

Value* dot(Value** args, int count) {
    BuiltinArgs a("dot", args, count);
    a.expect(2);
    const Vec p = point_arg(a, 0, true), q = point_arg(a, 1, true);
    return Float::intern(float(p.x * q.x + p.y * q.y + p.z * q.z));
}

Value* cross(Value** args, int count) {
    BuiltinArgs a("cross", args, count);
    a.expect(2);
    const Vec p = point_arg(a, 0, true), q = point_arg(a, 1, true);
    return make_point({p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x, true});
}

// Constants are made once and never collected.
Value* permanent(Value* v) {
    v->make_permanent();
    return v;
}

}  // namespace

void define_vector_builtins(BuiltinDefiner define) {
    define.value("pi", permanent(new Float(3.14159265358979f)));
    define.value("e", permanent(new Float(2.71828182845905f)));
    const struct {
        const char* name;
        float r, g, b;
    } colours[] = {{"red", 255, 0, 0},       {"green", 0, 255, 0},      {"blue", 0, 0, 255},
                   {"white", 255, 255, 255}, {"black", 0, 0, 0},        {"orange", 255, 128, 0},
                   {"yellow", 255, 255, 0},  {"brown", 128, 64, 0},     {"gray", 128, 128, 128}};
    for (const auto& c : colours) define.value(c.name, permanent(new ColorValue(c.r, c.g, c.b)));
    define("length", length);
    define("distance", distance);
    define("normalize", normalize);
    define("dot", dot);
    define("cross", cross);
}

// builtins_math.cpp - maths built-ins, the random generator, time stamps, sleeping and the word size.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <random>
#include <thread>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"

namespace {

std::mt19937& generator() {
    static std::mt19937 g(std::random_device{}());
    return g;
}

// A number argument; anything else is the host's conversion error.
Value* number_arg(const BuiltinArgs& a, int i) {
    if (!is_number(a[i])) throw ConversionError(a[i], "Float");
    return a[i];
}

Value* abs_(Value** args, int count) {
    BuiltinArgs a("abs", args, count);
    a.expect(1);
    Value* v = number_arg(a, 0);
    if (v->tag == &Integer_class) {
        const int n = static_cast<Integer*>(v)->value;
        // Wraps like the script's 32-bit integers do: abs of the least integer is itself.
        return Integer::intern(n < 0 ? static_cast<int>(0u - static_cast<unsigned>(n)) : n);
    }
    return Float::intern(std::fabs(v->to_float()));
}

template <float (*F)(float)>
Value* float_function(const char* fn, Value** args, int count) {
    BuiltinArgs a(fn, args, count);
    a.expect(1);
    return Float::intern(F(number_arg(a, 0)->to_float()));
}

Value* mod(Value** args, int count) {
    BuiltinArgs a("mod", args, count);
    a.expect(2);
    const float x = number_arg(a, 0)->to_float(), y = number_arg(a, 1)->to_float();
    if (y == 0.0f) throw RuntimeError("mod: division by zero");
    return Float::intern(std::fmod(x, y));
}

// random 1 6 gives an integer from 1 to 6; with a float either end, a float between them.
Value* random_(Value** args, int count) {
    BuiltinArgs a("random", args, count);
    a.expect(2);
    Value* low = number_arg(a, 0);
    Value* high = number_arg(a, 1);
    if (low->tag == &Integer_class && high->tag == &Integer_class) {
        int64_t x = static_cast<Integer*>(low)->value, y = static_cast<Integer*>(high)->value;
        if (x > y) std::swap(x, y);
        std::uniform_int_distribution<int64_t> pick(x, y);
        return Integer::intern(static_cast<int>(pick(generator())));
    }
    float x = low->to_float(), y = high->to_float();
    if (!std::isfinite(x) || !std::isfinite(y)) throw RuntimeError("random needs finite bounds");
    if (x > y) std::swap(x, y);
    std::uniform_real_distribution<double> pick(0.0, 1.0);
    const float r = static_cast<float>(x + (static_cast<double>(y) - x) * pick(generator()));
    return Float::intern(std::min(std::max(r, x), y));
}

Value* seed(Value** args, int count) {
    BuiltinArgs a("seed", args, count);
    a.expect(1);
    generator().seed(static_cast<std::mt19937::result_type>(a.integer(0)));
    return &ok;
}

// Milliseconds on a steady clock, kept within a positive script integer.
Value* timeStamp(Value** args, int count) {
    BuiltinArgs a("timeStamp", args, count);
    a.expect(0);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count();
    return Integer::intern(static_cast<int>(ms % 2147483647));
}

Value* sleep_(Value** args, int count) {
    BuiltinArgs a("sleep", args, count);
    a.expect(1);
    const float seconds = number_arg(a, 0)->to_float();
    if (seconds > 0 && std::isfinite(seconds))
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return &ok;
}

// Angles in scripts are degrees.
constexpr double kDegrees = 180.0 / 3.14159265358979323846;

Value* atan2_(Value** args, int count) {
    BuiltinArgs a("atan2", args, count);
    a.expect(2);
    const double y = number_arg(a, 0)->to_float(), x = number_arg(a, 1)->to_float();
    return Float::intern(static_cast<float>(std::atan2(y, x) * kDegrees));
}

Value* pow_(Value** args, int count) {
    BuiltinArgs a("pow", args, count);
    a.expect(2);
    return Float::intern(std::pow(number_arg(a, 0)->to_float(), number_arg(a, 1)->to_float()));
}

float sin_f(float v) { return static_cast<float>(std::sin(v / kDegrees)); }
float cos_f(float v) { return static_cast<float>(std::cos(v / kDegrees)); }
float tan_f(float v) { return static_cast<float>(std::tan(v / kDegrees)); }
float asin_f(float v) { return static_cast<float>(std::asin(v) * kDegrees); }
float acos_f(float v) { return static_cast<float>(std::acos(v) * kDegrees); }
float atan_f(float v) { return static_cast<float>(std::atan(v) * kDegrees); }
float exp_f(float v) { return std::exp(v); }
float log_f(float v) { return std::log(v); }
float log10_f(float v) { return std::log10(v); }
float sqrt_f(float v) { return std::sqrt(v); }
float floor_f(float v) { return std::floor(v); }
float ceil_f(float v) { return std::ceil(v); }

}  // namespace

void define_math_builtins(BuiltinDefiner define) {
    define("abs", abs_);
    define("sqrt", [](Value** v, int n) { return float_function<sqrt_f>("sqrt", v, n); });
    define("floor", [](Value** v, int n) { return float_function<floor_f>("floor", v, n); });
    define("ceil", [](Value** v, int n) { return float_function<ceil_f>("ceil", v, n); });
    define("sin", [](Value** v, int n) { return float_function<sin_f>("sin", v, n); });
    define("cos", [](Value** v, int n) { return float_function<cos_f>("cos", v, n); });
    define("tan", [](Value** v, int n) { return float_function<tan_f>("tan", v, n); });
    define("asin", [](Value** v, int n) { return float_function<asin_f>("asin", v, n); });
    define("acos", [](Value** v, int n) { return float_function<acos_f>("acos", v, n); });
    define("atan", [](Value** v, int n) { return float_function<atan_f>("atan", v, n); });
    define("atan2", atan2_);
    define("exp", [](Value** v, int n) { return float_function<exp_f>("exp", v, n); });
    define("log", [](Value** v, int n) { return float_function<log_f>("log", v, n); });
    define("log10", [](Value** v, int n) { return float_function<log10_f>("log10", v, n); });
    define("pow", pow_);
    define("mod", mod);
    define("random", random_);
    define("seed", seed);
    define("timeStamp", timeStamp);
    define("sleep", sleep_);
    define("is64bitApplication", [](Value** args, int count) -> Value* {
        BuiltinArgs("is64bitApplication", args, count).expect(0);
        return bool_result(sizeof(void*) == 8);
    });
}

// builtins_math.cpp - maths built-ins, the random generator, time stamps and sleeping.
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

float sqrt_f(float v) { return std::sqrt(v); }
float floor_f(float v) { return std::floor(v); }
float ceil_f(float v) { return std::ceil(v); }

}  // namespace

void define_math_builtins(BuiltinDefiner define) {
    define("abs", abs_);
    define("sqrt", [](Value** v, int n) { return float_function<sqrt_f>("sqrt", v, n); });
    define("floor", [](Value** v, int n) { return float_function<floor_f>("floor", v, n); });
    define("ceil", [](Value** v, int n) { return float_function<ceil_f>("ceil", v, n); });
    define("mod", mod);
    define("random", random_);
    define("seed", seed);
    define("timeStamp", timeStamp);
    define("sleep", sleep_);
}

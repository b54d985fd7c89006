// builtin_args.cpp - shared argument readers of the built-in functions.
#include "host/maxscript/builtin_args.h"

#include <cctype>

BuiltinArgs::BuiltinArgs(const char* fn, Value** args, int count)
    : fn(fn), args(args), total(count < 0 ? 0 : count), positional(positional_count(args, count)) {}

void BuiltinArgs::expect(int wanted) const {
    if (positional != wanted) throw ArgCountError(fn, wanted, positional);
}

void BuiltinArgs::expect(int fewest, int most) const {
    if (positional < fewest) throw ArgCountError(fn, fewest, positional);
    if (positional > most) throw ArgCountError(fn, most, positional);
}

void BuiltinArgs::expect_at_least(int fewest) const {
    if (positional < fewest) throw ArgCountError(fn, fewest, positional);
}

Value* BuiltinArgs::key(const char* name) const {
    return key_arg(args, total, Name::intern(name));
}

std::vector<std::pair<Value*, Value*>> BuiltinArgs::keys() const {
    std::vector<std::pair<Value*, Value*>> pairs;
    for (int i = positional + 1; i + 1 < total; i += 2) pairs.emplace_back(args[i], args[i + 1]);
    return pairs;
}

int BuiltinArgs::integer(int i) const { return args[i]->to_int(); }

float BuiltinArgs::number(int i) const { return args[i]->to_float(); }

std::string BuiltinArgs::text(int i) const { return args[i]->to_string(); }

Array* BuiltinArgs::array(int i) const {
    return static_cast<Array*>(instance(i, &Array_class));
}

Value* BuiltinArgs::instance(int i, ValueMetaClass* c) const {
    Value* v = args[i];
    if (!v || !v->is_kind_of(c)) throw TypeError(fn, v, c);
    return v;
}

std::string print_text(Value* v) {
    if (!v) return "undefined";
    StringStream s;
    v->sprint(&s);
    return s.text;
}

static char folded(char c, bool ignore_case) {
    return ignore_case ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
}

// Backtracks to the last * only, so the time stays proportional to text times
// pattern whatever the input.
bool wildcard_match(const std::string& text, const std::string& pattern, bool ignore_case) {
    size_t t = 0, p = 0, star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || folded(pattern[p], ignore_case) == folded(text[t], ignore_case))) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

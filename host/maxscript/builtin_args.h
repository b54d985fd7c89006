// builtin_args.h - the argument checks and conversions every built-in shares.
#pragma once
#include <string>
#include <utility>
#include <vector>
#include "host/core/errors.h"
#include "host/maxscript/call_args.h"

// One call's arguments, read the way a built-in named fn expects them. Each reader
// raises the host's error (ArgCountError, ConversionError, TypeError) naming fn.
class BuiltinArgs {
public:
    BuiltinArgs(const char* fn, Value** args, int count);

    const char* fn;
    int count() const { return positional; }
    Value* operator[](int i) const { return args[i]; }

    void expect(int wanted) const;               // exactly wanted positionals
    void expect(int fewest, int most) const;     // between fewest and most
    void expect_at_least(int fewest) const;

    // Keyword value, or null when absent.
    Value* key(const char* name) const;
    // Every (name, value) keyword pair, in the order given.
    std::vector<std::pair<Value*, Value*>> keys() const;

    int integer(int i) const;
    float number(int i) const;
    std::string text(int i) const;
    Array* array(int i) const;
    // The argument as an instance of c, or a TypeError "fn requires c".
    Value* instance(int i, ValueMetaClass* c) const;

private:
    Value** args;
    int total;
    int positional;
};

inline bool is_number(Value* v) { return v && (v->tag == &Integer_class || v->tag == &Float_class); }

// The print form of v as format and string conversion use it: strings without quotes.
std::string print_text(Value* v);

// * matches any run of characters, ? any one.
bool wildcard_match(const std::string& text, const std::string& pattern, bool ignore_case);

// builtins_strings.cpp - string built-ins, print and format, and the class queries.
#include <algorithm>
#include <cctype>

#include "host/core/listener.h"
#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/streams.h"

namespace {

const char* const kWhitespace = " \t\r\n";

Value* make_string(const std::string& s) { return new String(s.c_str()); }

// The to: stream of print and format, else the listener.
CharStream* output_of(const BuiltinArgs& a) {
    Value* to = a.key("to");
    if (!to || to == &undefined) return the_listener();
    if (ScriptStream* s = as_stream(to)) return s;
    throw TypeError((std::string(a.fn) + " to: needs a stream").c_str(), to);
}

Value* filterString(Value** args, int count) {
    BuiltinArgs a("filterString", args, count);
    a.expect(2);
    const std::string text = a.text(0), delimiters = a.text(1);
    Value* split = a.key("splitEmptyTokens");
    const bool keep_empty = split && split->to_bool();
    auto* tokens = new Array(0);
    std::string token;
    bool any = false;
    for (char c : text) {
        if (delimiters.find(c) == std::string::npos) {
            token += c;
            any = true;
            continue;
        }
        if (any || keep_empty) tokens->append(make_string(token));
        token.clear();
        any = false;
    }
    if (any) tokens->append(make_string(token));
    return tokens;
}

Value* substring(Value** args, int count) {
    BuiltinArgs a("substring", args, count);
    a.expect(3);
    const std::string text = a.text(0);
    const int start = a.integer(1), length = a.integer(2);
    // 1-based; a start before the string counts from its first character, a
    // negative length takes the rest.
    const size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    if (from >= text.size()) return make_string("");
    const size_t n = length < 0 ? std::string::npos : static_cast<size_t>(length);
    return make_string(text.substr(from, n));
}

Value* findString(Value** args, int count) {
    BuiltinArgs a("findString", args, count);
    a.expect(2);
    const std::string text = a.text(0), wanted = a.text(1);
    const size_t at = text.find(wanted);
    if (at == std::string::npos) return &undefined;
    return Integer::intern(static_cast<int>(at) + 1);
}

template <int (*Change)(int)>
Value* change_case(const char* fn, Value** args, int count) {
    BuiltinArgs a(fn, args, count);
    a.expect(1);
    std::string text = a.text(0);
    for (char& c : text) c = static_cast<char>(Change(static_cast<unsigned char>(c)));
    return make_string(text);
}

Value* substituteString(Value** args, int count) {
    BuiltinArgs a("substituteString", args, count);
    a.expect(3);
    std::string text = a.text(0);
    const std::string from = a.text(1), to = a.text(2);
    if (from.empty()) return make_string(text);  // nothing to find: nothing changes
    std::string out;
    size_t pos = 0;
    for (size_t at; (at = text.find(from, pos)) != std::string::npos; pos = at + from.size())
        out.append(text, pos, at - pos).append(to);
    out.append(text, pos, std::string::npos);
    return make_string(out);
}

Value* trim(const char* fn, bool left, Value** args, int count) {
    BuiltinArgs a(fn, args, count);
    a.expect(1, 2);
    const std::string text = a.text(0);
    const std::string chars = a.count() > 1 ? a.text(1) : kWhitespace;
    if (left) {
        const size_t first = text.find_first_not_of(chars);
        return make_string(first == std::string::npos ? "" : text.substr(first));
    }
    const size_t last = text.find_last_not_of(chars);
    return make_string(last == std::string::npos ? "" : text.substr(0, last + 1));
}

// matchPattern "Box01" pattern:"box*" ignoreCase:true
Value* matchPattern(Value** args, int count) {
    BuiltinArgs a("matchPattern", args, count);
    a.expect(1);
    Value* pattern = a.key("pattern");
    if (!pattern) throw RuntimeError("matchPattern needs pattern:");
    Value* ignore = a.key("ignoreCase");
    return bool_result(wildcard_match(a.text(0), pattern->to_string(), !ignore || ignore->to_bool()));
}

// replace "abcdef" 2 3 "X" -> "aXef"
Value* replace(Value** args, int count) {
    BuiltinArgs a("replace", args, count);
    a.expect(4);
    const std::string text = a.text(0), with = a.text(3);
    const int from = a.integer(1), length = a.integer(2);
    if (from < 1 || from > static_cast<int>(text.size()) + 1 || length < 0)
        throw RuntimeError("replace: range out of the string: " + std::to_string(from) + ", " +
                           std::to_string(length));
    std::string out = text;
    out.replace(static_cast<size_t>(from) - 1, static_cast<size_t>(length), with);
    return make_string(out);
}

// format "a % b %\n" x y to:stream. Each % takes the next argument's print form; a %
// with no argument left, or written \%, stays a percent sign.
Value* format(Value** args, int count) {
    BuiltinArgs a("format", args, count);
    a.expect_at_least(1);
    const std::string pattern = a.text(0);
    CharStream* out = output_of(a);
    std::string text;
    int next = 1;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            text += '%';
            ++i;
        } else if (c == '%' && next < a.count()) {
            text += print_text(a[next++]);
        } else {
            text += c;
        }
    }
    out->puts(text.c_str());
    return &ok;
}

Value* print(Value** args, int count) {
    BuiltinArgs a("print", args, count);
    a.expect(1);
    CharStream* out = output_of(a);
    std::string line = print_form(a[0]);
    line += '\n';
    out->puts(line.c_str());
    return a[0];
}

Value* stringStream(Value** args, int count) {
    BuiltinArgs a("stringStream", args, count);
    a.expect(0, 1);
    return new StringStreamValue(a.count() ? a.text(0).c_str() : "");
}

Value* classOf(Value** args, int count) {
    check_positional("classOf", 1, args, count);
    return args[0]->classOf_vf(args + 1, 0);
}

Value* superClassOf(Value** args, int count) {
    check_positional("superClassOf", 1, args, count);
    return args[0]->superClassOf_vf(args + 1, 0);
}

Value* isKindOf(Value** args, int count) {
    check_positional("isKindOf", 2, args, count);
    return args[0]->isKindOf_vf(args + 1, 1);
}

}  // namespace

void define_string_builtins(BuiltinDefiner define) {
    define("filterString", filterString);
    define("substring", substring);
    define("findString", findString);
    define("toLower", [](Value** v, int n) { return change_case<std::tolower>("toLower", v, n); });
    define("toUpper", [](Value** v, int n) { return change_case<std::toupper>("toUpper", v, n); });
    define("substituteString", substituteString);
    define("trimLeft", [](Value** v, int n) { return trim("trimLeft", true, v, n); });
    define("trimRight", [](Value** v, int n) { return trim("trimRight", false, v, n); });
    define("matchPattern", matchPattern);
    define("replace", replace);
    define("format", format);
    define("print", print);
    define("stringStream", stringStream);
    define("classOf", classOf);
    define("superClassOf", superClassOf);
    define("isKindOf", isKindOf);
}

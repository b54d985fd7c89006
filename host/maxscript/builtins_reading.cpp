// builtins_reading.cpp - reading values and text from streams: readValue, readDelimitedString, skipToString.
#include <cctype>
#include <string>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/globals.h"
#include "host/maxscript/lexer.h"
#include "host/maxscript/streams.h"

namespace {

ScriptStream* stream_of(const BuiltinArgs& a) {
    ScriptStream* s = as_stream(a[0]);
    if (!s) throw TypeError(a.fn, a[0], &StringStreamValue_class);
    return s;
}

// The next character without taking it; 0 at the end.
char peek(ScriptStream* s) {
    if (s->at_end()) return 0;
    const long at = s->position();
    const std::string c = s->read_char();
    s->seek(at);
    return c.empty() ? 0 : c[0];
}

// The text of one literal from the stream: a number, "string", #name, #(...), [...], a
// word; brackets are balanced and strings read whole.
std::string literal_text(ScriptStream* s) {
    while (std::isspace(static_cast<unsigned char>(peek(s)))) s->read_char();
    std::string text;
    int depth = 0;
    bool inString = false;
    while (!s->at_end()) {
        const char c = peek(s);
        if (!inString && depth == 0 && !text.empty() &&
            (std::isspace(static_cast<unsigned char>(c)) || c == ',' || c == ')' || c == ']'))
            break;
        text += s->read_char();
        if (inString) {
            if (c == '\\' && !s->at_end()) text += s->read_char();
            else if (c == '"') inString = false;
            if (!inString && depth == 0) break;
        } else if (c == '"') {
            inString = true;
        } else if (c == '(' || c == '[') {
            ++depth;
        } else if (c == ')' || c == ']') {
            if (--depth == 0) break;
        }
    }
    return text;
}

// Only literals are read: the text must not call or change anything when evaluated.
bool only_literals(const std::string& text) {
    for (const Token& t : tokenize(text)) {
        switch (t.kind) {
            case Tok::Int: case Tok::Float: case Tok::String: case Tok::Name: case Tok::ArrayOpen:
            case Tok::LBracket: case Tok::RBracket: case Tok::RParen: case Tok::Comma: case Tok::Minus:
            case Tok::End: case Tok::Newline:
                break;
            case Tok::Ident: {
                std::string w = t.text;
                for (char& c : w) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                if (w != "true" && w != "false" && w != "undefined" && w != "ok") return false;
                break;
            }
            default:
                return false;
        }
    }
    return true;
}

Value* readValue(Value** args, int count) {
    BuiltinArgs a("readValue", args, count);
    a.expect(1);
    ScriptStream* s = stream_of(a);
    if (s->at_end()) throw RuntimeError("Read past the end of the stream");
    const std::string text = literal_text(s);
    if (text.empty() || !only_literals(text)) throw RuntimeError("readValue: not a value: " + text);
    Value* source = new String(text.c_str());
    return get_global("execute")->apply(&source, 1);
}

// Characters up to the first of the delimiters, which is taken but not answered.
Value* readDelimitedString(Value** args, int count) {
    BuiltinArgs a("readDelimitedString", args, count);
    a.expect(2);
    ScriptStream* s = stream_of(a);
    const std::string delimiters = a.text(1);
    std::string text;
    while (!s->at_end()) {
        const std::string c = s->read_char();
        if (!c.empty() && delimiters.find(c[0]) != std::string::npos) break;
        text += c;
    }
    return new String(text.c_str());
}

// Moves past the next occurrence of the text: ok, or undefined (at the end) when there is none.
Value* skipToString(Value** args, int count) {
    BuiltinArgs a("skipToString", args, count);
    a.expect(2);
    ScriptStream* s = stream_of(a);
    const std::string wanted = a.text(1);
    if (wanted.empty()) return &ok;
    std::string window;
    while (!s->at_end()) {
        window += s->read_char();
        if (window.size() > wanted.size()) window.erase(0, window.size() - wanted.size());
        if (window == wanted) return &ok;
    }
    return &undefined;
}

}  // namespace

void define_reading_builtins(BuiltinDefiner define) {
    define("readValue", readValue);
    define("readDelimitedString", readDelimitedString);
    define("skipToString", skipToString);
}

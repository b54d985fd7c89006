// lexer_test.cpp - source text to the exact token stream, one table over the whole lexicon.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/maxscript/lexer.h"

namespace {

// One token, compactly: punctuation as spelled, the rest as kind:text.
std::string compact(const Token& t) {
    char number[64];
    switch (t.kind) {
        case Tok::Newline: return "NL";
        case Tok::Int: return "int:" + std::to_string(t.int_value);
        case Tok::Float:
            std::snprintf(number, sizeof number, "float:%g", t.float_value);
            return number;
        case Tok::Time:
            std::snprintf(number, sizeof number, "time:%g", t.float_value);
            return number;
        case Tok::String: return "str:\"" + t.text + "\"";
        case Tok::Name: return "#" + t.text;
        case Tok::Ident: return "id:" + t.text;
        case Tok::KeyArg: return "key:" + t.text;
        case Tok::PathName: return "$" + t.text;
        case Tok::Error:
            return "error@" + std::to_string(t.line) + ":" + std::to_string(t.column) + ":" + t.text;
        default: return token_spelling(t.kind);
    }
}

std::string stream(const std::string& text) {
    std::string out;
    for (const Token& t : tokenize(text)) {
        if (t.kind == Tok::End) break;
        if (!out.empty()) out += ' ';
        out += compact(t);
    }
    return out;
}

struct LexCase {
    const char* text;
    const char* tokens;
};

TEST(Lexer, TokenStreams) {
    const LexCase cases[] = {
        // numbers
        {"0 42 007", "int:0 int:42 int:7"},
        {"1.5 .5 2. 1e3 2.5e-2 1E+2", "float:1.5 float:0.5 float:2 float:1000 float:0.025 float:100"},
        {"0x1F 0xff", "int:31 int:255"},
        {"-3", "- int:3"},
        // time literals in ticks (160 a frame)
        {"10f 1m15s 2t 0.5f", "time:1600 time:360000 time:2 time:80"},
        // strings and their escapes; verbatim strings keep backslashes
        {R"("a\"b" "tab\there" "line\nend" "back\\slash")", "str:\"a\"b\" str:\"tab\there\" str:\"line\nend\" str:\"back\\slash\""},
        {R"(@"c:\temp\n")", "str:\"c:\\temp\\n\""},
        {"\"open", "error@1:1:unterminated string"},
        // names, identifiers, keyword arguments, path names
        {"#foo #'with space' foo _bar Baz9", "#foo #with space id:foo id:_bar id:Baz9"},
        {"width:10 pos: [1, 2]", "key:width int:10 key:pos [ int:1 , int:2 ]"},
        {"$box01 $'my node' $ $*", "$box01 $'my node' $ $*"},
        // punctuation and operators, longest match first
        {"( ) [ ] #( #{ { } , ; : :: . .. & ?", "( ) [ ] #( #{ { } , ; : :: . .. & ?"},
        {"+ - * / ^ = += -= *= /= == != < > <= >=", "+ - * / ^ = += -= *= /= == != < > <= >="},
        {"a+=1", "id:a += int:1"},
        // comments, line continuation and where lines end
        {"a -- comment\nb", "id:a NL id:b"},
        {"a /* block\n comment */ b", "id:a id:b"},
        {"a \\\n b", "id:a id:b"},
        {"a\r\nb;c", "id:a NL id:b ; id:c"},
        // bad characters stop the stream with a positioned error
        {"a\n  `b", "id:a NL error@2:3:unexpected character '`'"},
        {"/* never closed", "error@1:1:unterminated comment"},
    };
    for (const LexCase& c : cases) EXPECT_EQ(stream(c.text), c.tokens) << c.text;
}

TEST(Lexer, PositionsAndSpacing) {
    std::vector<Token> tokens = tokenize("ab  cd\n  (x)");
    ASSERT_GE(tokens.size(), 7u);
    std::string where;
    for (const Token& t : tokens)
        if (t.kind != Tok::End)
            where += std::to_string(t.line) + ":" + std::to_string(t.column) + (t.space_before ? "s " : " ");
    // s: whitespace or a line start came first
    EXPECT_EQ(where, "1:1s 1:5s 1:7 2:3s 2:4 2:5 ");
}

}  // namespace

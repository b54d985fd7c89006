// lexer.h - MAXScript source text to tokens (portable, no <windows.h>).
#pragma once
#include <string>
#include <vector>

enum class Tok {
    End, Newline, Int, Float, String, Name /* #foo */, Ident, KeyArg /* ident: */,
    LParen, RParen, LBracket, RBracket, ArrayOpen /* #( */, Comma, Semicolon, Colon, Dot,
    Plus, Minus, Star, Slash, Caret, Assign, PlusAssign, MinusAssign, StarAssign, SlashAssign,
    Eq, Ne, Lt, Gt, Le, Ge, Error,
    Time /* 10f, 1m15s: float_value holds ticks */, PathName /* $..., text after the $ */,
    Amp /* & */, Question /* ? */, DoubleColon /* :: */, BitArrayOpen /* #{ */, LBrace, RBrace, DotDot /* .. */,
};

struct Token {
    Tok kind = Tok::End;
    std::string text;    // identifier, string contents, name text or the error message
    long long int_value = 0;
    double float_value = 0;
    int line = 1, column = 1;
    bool space_before = false;  // whitespace (or a line start) right before the token
};

// Tokenises all of text. Stops at the first bad character with a Tok::Error token.
std::vector<Token> tokenize(const std::string& text);
const char* token_spelling(Tok kind);
// The operator a compound assignment applies (+= gives +); any other kind as it is.
Tok plain_operator(Tok op);

// parser.h - MAXScript text to a syntax tree with every variable resolved to its slot.
#pragma once
#include <memory>
#include <string>

#include "host/maxscript/syntax.h"

struct SyntaxError {
    std::string message;
    int line = 0, column = 0;
    bool at_end = false;  // the text ended too early (the listener reads another line)
};

// Deepest nesting of expressions a script may write; deeper is a syntax error.
constexpr int kMaxNesting = 128;

// Null with *error filled when the text does not parse.
std::shared_ptr<Chunk> parse_chunk(const std::string& text, const std::string& file, SyntaxError* error);

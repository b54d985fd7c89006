// parser.cpp - the parser's entry point: tokens, then the tree, or the first syntax error.
#include "host/maxscript/parser.h"

#include "host/maxscript/parser_core.h"

using ms_parse::Parser;

std::shared_ptr<Chunk> parse_chunk(const std::string& text, const std::string& file, SyntaxError* error) {
    SyntaxError scratch;
    if (!error) error = &scratch;
    auto chunk = std::make_shared<Chunk>();
    chunk->file = file;
    register_chunk(chunk.get());
    std::vector<Token> tokens = tokenize(text);
    if (!tokens.empty() && tokens.back().kind == Tok::Error) {
        const Token& bad = tokens.back();
        error->message = bad.text;
        error->line = bad.line;
        error->column = bad.column;
        error->at_end = bad.text.rfind("unterminated", 0) == 0;
        return nullptr;
    }
    Parser p(std::move(tokens), chunk, error);
    if (!p.run()) return nullptr;
    return chunk;
}

// ms_parse_fuzz.cpp - any bytes as MAXScript source: parsed or refused with a positioned
//   syntax error, never a crash, a hang or a runaway recursion.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/core/heap.h"
#include "host/maxscript/parser.h"
#include "host/start_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start_host();
    std::string text(reinterpret_cast<const char*>(data), size);
    SyntaxError error;
    auto chunk = parse_chunk(text, "fuzz.ms", &error);
    if (!chunk && (error.line < 1 || error.column < 1 || error.message.empty())) __builtin_trap();
    if (chunk && !chunk->main) __builtin_trap();
    chunk.reset();
    gc();  // the constants of the dropped tree
    return 0;
}

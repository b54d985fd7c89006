// streams.cpp - string streams and files as script values.
#include "host/maxscript/streams.h"

#include <algorithm>
#include <cstring>

#include "host/core/errors.h"

ValueMetaClass StringStreamValue_class("StringStream");
ValueMetaClass FileStreamValue_class("FileStream");

ScriptStream* as_stream(Value* v) {
    if (!v) return nullptr;
    if (v->tag == &StringStreamValue_class) return static_cast<StringStreamValue*>(v);
    if (v->tag == &FileStreamValue_class) return static_cast<FileStreamValue*>(v);
    return nullptr;
}

// ---- string streams ----

StringStreamValue::StringStreamValue(const char* initial) : text(initial ? initial : "") {
    tag = &StringStreamValue_class;
}

void StringStreamValue::puts(const char* s) {
    if (s) text += s;
}

std::string StringStreamValue::read_line() {
    if (at_end()) throw RuntimeError("Read past the end of the stream");
    size_t end = text.find('\n', read_pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(read_pos, end - read_pos);
    read_pos = end < text.size() ? end + 1 : end;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string StringStreamValue::read_char() {
    if (at_end()) throw RuntimeError("Read past the end of the stream");
    return std::string(1, text[read_pos++]);
}

void StringStreamValue::seek(long offset) {
    read_pos = offset < 0 ? 0 : std::min(static_cast<size_t>(offset), text.size());
}

void StringStreamValue::sprin1(CharStream* s) {
    s->puts("StringStream:");
    String quoted(text.c_str());  // borrowed for its escaping; not a heap object
    quoted.sprin1(s);
}

void StringStreamValue::sprint(CharStream* s) { s->puts(text.c_str()); }

// ---- files ----

namespace {
// The modes fopen takes, with or without t/b: anything else is refused, not passed on.
bool parse_mode(const char* mode, bool& readable, bool& writable) {
    if (!mode) return false;
    std::string m;
    int flags = 0;  // one t or b at most
    for (const char* c = mode; *c; ++c) {
        if (*c == 't' || *c == 'b') ++flags;
        else m += *c;
    }
    if (flags > 1) return false;
    if (m == "r") { readable = true; writable = false; return true; }
    if (m == "w" || m == "a") { readable = false; writable = true; return true; }
    if (m == "r+" || m == "w+" || m == "a+") { readable = writable = true; return true; }
    return false;
}
}  // namespace

FileStreamValue::FileStreamValue(std::FILE* file, const char* path, bool readable, bool writable)
    : path(path), file(file), readable(readable), writable(writable) {
    tag = &FileStreamValue_class;
}

bool FileStreamValue::known_mode(const char* mode) {
    bool readable = false, writable = false;
    return parse_mode(mode, readable, writable);
}

FileStreamValue* FileStreamValue::open(const char* path, const char* mode) {
    bool readable = false, writable = false;
    if (!path || !*path || !parse_mode(mode, readable, writable)) return nullptr;
    std::FILE* f = std::fopen(path, mode);
    if (!f) return nullptr;
    return new FileStreamValue(f, path, readable, writable);
}

FileStreamValue::~FileStreamValue() { close(); }

std::FILE* FileStreamValue::open_file() {
    if (!file) throw RuntimeError("The file is closed: " + path);
    return file;
}

std::FILE* FileStreamValue::checked_file(bool for_writing) {
    open_file();
    if (for_writing && !writable) throw RuntimeError("The file is not open for writing: " + path);
    if (!for_writing && !readable) throw RuntimeError("The file is not open for reading: " + path);
    // C streams need a positioning call between reading and writing.
    const LastOp op = for_writing ? LastOp::write : LastOp::read;
    if (last != LastOp::none && last != op) std::fseek(file, 0, SEEK_CUR);
    last = op;
    return file;
}

void FileStreamValue::puts(const char* s) {
    std::FILE* f = checked_file(true);
    if (s && std::fputs(s, f) == EOF) throw RuntimeError("Cannot write to the file: " + path);
}

std::string FileStreamValue::read_line() {
    std::FILE* f = checked_file(false);
    std::string line;
    int c = std::fgetc(f);
    if (c == EOF) throw RuntimeError("Read past the end of the file: " + path);
    for (; c != EOF && c != '\n'; c = std::fgetc(f)) line += static_cast<char>(c);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string FileStreamValue::read_char() {
    std::FILE* f = checked_file(false);
    int c = std::fgetc(f);
    if (c == EOF) throw RuntimeError("Read past the end of the file: " + path);
    return std::string(1, static_cast<char>(c));
}

bool FileStreamValue::at_end() {
    std::FILE* f = checked_file(false);
    int c = std::fgetc(f);
    if (c == EOF) return true;
    std::ungetc(c, f);
    return false;
}

long FileStreamValue::position() { return std::ftell(open_file()); }

void FileStreamValue::seek(long offset) {
    std::FILE* f = open_file();
    std::fseek(f, 0, SEEK_END);
    const long end = std::ftell(f);
    std::fseek(f, offset < 0 ? 0 : std::min(offset, end), SEEK_SET);
    last = LastOp::none;
}

void FileStreamValue::seek_end() {
    std::fseek(open_file(), 0, SEEK_END);
    last = LastOp::none;
}

void FileStreamValue::close() {
    if (file) std::fclose(file);
    file = nullptr;
}

void FileStreamValue::flush() {
    if (file) std::fflush(file);
}

void FileStreamValue::sprin1(CharStream* s) {
    s->printf("<File:%s>", path.c_str());
}

// streams.h - text streams scripts write with format and print and read line by line.
#pragma once
#include <cstdio>
#include <string>
#include "host/core/value.h"

extern HOSTSDK_API ValueMetaClass StringStreamValue_class;  // "StringStream"
extern HOSTSDK_API ValueMetaClass FileStreamValue_class;    // "FileStream"

// A stream value: writing through CharStream, reading line by line. Errors are the
// host's RuntimeErrors (reading past the end, using a closed file).
class HOSTSDK_API ScriptStream : public CharStream {
public:
    virtual std::string read_line() = 0;
    virtual std::string read_char() = 0;
    virtual bool at_end() = 0;
    // Byte offsets from the start; seek past the end stops at the end.
    virtual long position() = 0;
    virtual void seek(long offset) = 0;
    virtual void seek_end() = 0;
    virtual void close() {}
    virtual void flush() {}
};

// The stream value of v, or null when v is none.
HOSTSDK_API ScriptStream* as_stream(Value* v);

// stringStream "text": written at its end, read from a position that starts at 0.
class HOSTSDK_API StringStreamValue : public ScriptStream {
public:
    std::string text;
    size_t read_pos = 0;
    explicit StringStreamValue(const char* initial);
    void puts(const char* s) override;
    std::string read_line() override;
    std::string read_char() override;
    bool at_end() override { return read_pos >= text.size(); }
    long position() override { return static_cast<long>(read_pos); }
    void seek(long offset) override;
    void seek_end() override { read_pos = text.size(); }
    void sprin1(CharStream* s) override;  // StringStream:"text"
    void sprint(CharStream* s) override;  // the text itself, as `as string` gives it
    const char* to_string() override { return text.c_str(); }
};

// A file opened by openFile or createFile; closed when closed or collected.
class HOSTSDK_API FileStreamValue : public ScriptStream {
public:
    std::string path;
    // Null when the file cannot be opened (or the mode is not one fopen knows).
    static FileStreamValue* open(const char* path, const char* mode);
    // The fopen modes (r w a, each with + and t or b); nothing else reaches fopen.
    static bool known_mode(const char* mode);
    ~FileStreamValue() override;
    void puts(const char* s) override;
    std::string read_line() override;
    std::string read_char() override;
    bool at_end() override;
    long position() override;
    void seek(long offset) override;
    void seek_end() override;
    void close() override;
    void flush() override;
    bool is_open() const { return file != nullptr; }
    void sprin1(CharStream* s) override;  // <File:path>

private:
    FileStreamValue(std::FILE* file, const char* path, bool readable, bool writable);
    std::FILE* checked_file(bool for_writing);
    std::FILE* open_file();
    std::FILE* file;
    bool readable, writable;
    enum class LastOp { none, read, write } last = LastOp::none;
};

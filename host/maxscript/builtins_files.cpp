// builtins_files.cpp - files and streams: existence, deletion, opening, reading, file names.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "host/maxscript/builtin_args.h"
#include "host/maxscript/builtins.h"
#include "host/maxscript/streams.h"

namespace {

Value* make_string(const std::string& s) { return new String(s.c_str()); }

ScriptStream* stream_arg(const BuiltinArgs& a, int i) {
    if (ScriptStream* s = as_stream(a[i])) return s;
    throw TypeError(a.fn, a[i], &FileStreamValue_class);
}

// Where the file part of a path starts: after the last separator of either kind (or a drive).
size_t file_part(const std::string& path) {
    const size_t sep = path.find_last_of("\\/:");
    return sep == std::string::npos ? 0 : sep + 1;
}

Value* doesFileExist(Value** args, int count) {
    BuiltinArgs a("doesFileExist", args, count);
    a.expect(1);
    const std::string path = a.text(0);
    std::error_code error;
    return bool_result(!path.empty() && std::filesystem::exists(path, error) && !error);
}

// Files only: a folder is left alone and answers false.
Value* deleteFile(Value** args, int count) {
    BuiltinArgs a("deleteFile", args, count);
    a.expect(1);
    const std::string path = a.text(0);
    std::error_code error;
    if (path.empty() || std::filesystem::is_directory(path, error)) return &false_value;
    return bool_result(std::remove(path.c_str()) == 0);
}

Value* open_stream(const BuiltinArgs& a, const std::string& mode) {
    FileStreamValue* file = FileStreamValue::open(a.text(0).c_str(), mode.c_str());
    return file ? static_cast<Value*>(file) : &undefined;
}

// openFile "path" mode:"r": undefined when the file cannot be opened.
Value* openFile(Value** args, int count) {
    BuiltinArgs a("openFile", args, count);
    a.expect(1);
    Value* mode = a.key("mode");
    const std::string m = mode ? mode->to_string() : "r";
    if (!FileStreamValue::known_mode(m.c_str())) throw RuntimeError("openFile: unknown mode \"" + m + "\"");
    return open_stream(a, m);
}

Value* createFile(Value** args, int count) {
    BuiltinArgs a("createFile", args, count);
    a.expect(1);
    return open_stream(a, "w");
}

Value* readLine(Value** args, int count) {
    BuiltinArgs a("readLine", args, count);
    a.expect(1);
    return make_string(stream_arg(a, 0)->read_line());
}

Value* readChar(Value** args, int count) {
    BuiltinArgs a("readChar", args, count);
    a.expect(1);
    return make_string(stream_arg(a, 0)->read_char());
}

Value* eof(Value** args, int count) {
    BuiltinArgs a("eof", args, count);
    a.expect(1);
    return bool_result(stream_arg(a, 0)->at_end());
}

Value* close_(Value** args, int count) {
    BuiltinArgs a("close", args, count);
    a.expect(1);
    stream_arg(a, 0)->close();
    return &ok;
}

Value* flush(Value** args, int count) {
    BuiltinArgs a("flush", args, count);
    a.expect(1);
    stream_arg(a, 0)->flush();
    return &ok;
}

// seek stream 10, or seek stream #eof
Value* seek(Value** args, int count) {
    BuiltinArgs a("seek", args, count);
    a.expect(2);
    ScriptStream* stream = stream_arg(a, 0);
    if (a[1] == Name::intern("eof")) stream->seek_end();
    else stream->seek(a.integer(1));
    return &ok;
}

Value* filePos(Value** args, int count) {
    BuiltinArgs a("filePos", args, count);
    a.expect(1);
    return Integer::intern(static_cast<int>(stream_arg(a, 0)->position()));
}

// The folder part and the wildcard part of "dir/*.ms".
void split_pattern(const std::string& pattern, std::string& folder, std::string& wildcard) {
    const size_t at = file_part(pattern);
    folder = pattern.substr(0, at);
    wildcard = pattern.substr(at);
}

// getFiles "dir/*.ms" and getDirectories "dir/*": sorted full names, folders with a
// separator at the end. An unreadable folder gives an empty array.
Value* list_folder(const char* fn, bool folders, Value** args, int count) {
    BuiltinArgs a(fn, args, count);
    a.expect(1);
    std::string folder, wildcard;
    split_pattern(a.text(0), folder, wildcard);
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code kind_error;
        if (it->is_directory(kind_error) != folders || kind_error) continue;
        const std::string name = it->path().filename().string();
        if (wildcard_match(name, wildcard, true)) names.push_back(folder + name + (folders ? "/" : ""));
    }
    std::sort(names.begin(), names.end());
    auto* result = new Array(0);
    for (const std::string& name : names) result->append(make_string(name));
    return result;
}

// makeDir "a/b" all:true makes the missing parents too.
Value* makeDir(Value** args, int count) {
    BuiltinArgs a("makeDir", args, count);
    a.expect(1);
    const std::string path = a.text(0);
    Value* all = a.key("all");
    std::error_code error;
    if (path.empty()) return &false_value;
    if (all && all->to_bool()) std::filesystem::create_directories(path, error);
    else std::filesystem::create_directory(path, error);
    return bool_result(!error && std::filesystem::is_directory(path, error));
}

// "c:\\dir\\name.ext" -> "c:\\dir\\" (the separator kept)
Value* getFilenamePath(Value** args, int count) {
    BuiltinArgs a("getFilenamePath", args, count);
    a.expect(1);
    const std::string path = a.text(0);
    return make_string(path.substr(0, file_part(path)));
}

// "c:\\dir\\name.ext" -> "name"
Value* getFilenameFile(Value** args, int count) {
    BuiltinArgs a("getFilenameFile", args, count);
    a.expect(1);
    const std::string path = a.text(0);
    const std::string file = path.substr(file_part(path));
    const size_t dot = file.find_last_of('.');
    return make_string(dot == std::string::npos ? file : file.substr(0, dot));
}

// "c:\\dir\\name.ext" -> ".ext"
Value* getFilenameType(Value** args, int count) {
    BuiltinArgs a("getFilenameType", args, count);
    a.expect(1);
    const std::string path = a.text(0);
    const std::string file = path.substr(file_part(path));
    const size_t dot = file.find_last_of('.');
    return make_string(dot == std::string::npos ? "" : file.substr(dot));
}

}  // namespace

void define_file_builtins(BuiltinDefiner define) {
    define("doesFileExist", doesFileExist);
    define("deleteFile", deleteFile);
    define("openFile", openFile);
    define("createFile", createFile);
    define("readLine", readLine);
    define("readChar", readChar);
    define("eof", eof);
    define("close", close_);
    define("flush", flush);
    define("seek", seek);
    define("filePos", filePos);
    define("getFiles", [](Value** v, int n) { return list_folder("getFiles", false, v, n); });
    define("getDirectories", [](Value** v, int n) { return list_folder("getDirectories", true, v, n); });
    define("makeDir", makeDir);
    define("getFilenamePath", getFilenamePath);
    define("getFilenameFile", getFilenameFile);
    define("getFilenameType", getFilenameType);
}

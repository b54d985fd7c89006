// builtins.cpp - the whole built-in library, subject by subject, and the names only this host has.
#include "host/maxscript/builtins.h"

#include <cctype>

namespace {
std::set<std::string>& host_only_names() {
    static auto* names = new std::set<std::string>;
    return *names;
}
}  // namespace

void note_host_only(const char* name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    host_only_names().insert(folded);
}

void BuiltinDefiner::host_only(const char* name, NativeFunction::Body body) const {
    note_host_only(name);
    function(name, std::move(body));
}

const std::set<std::string>& host_only_builtins() { return host_only_names(); }

void define_all_builtins(BuiltinDefiner define) {
    // Defined with the rollout clause on Windows; ours alone, like the scene_ functions.
    note_host_only("saveDialogPicture");
    define_string_builtins(define);
    define_array_builtins(define);
    define_math_builtins(define);
    define_file_builtins(define);
    define_format_builtins(define);
    define_reading_builtins(define);
    define_property_builtins(define);
    define_ini_builtins(define);
    define_bit_builtins(define);
    define_vector_builtins(define);
#if defined(_WIN32)
    define_bitmap_builtins(define);
#endif
    define_scene_builtins(define);
    define_dialog_builtins(define);
}

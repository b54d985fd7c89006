// builtins.cpp - the whole built-in library, subject by subject.
#include "host/maxscript/builtins.h"

void define_all_builtins(BuiltinDefiner define) {
    define_string_builtins(define);
    define_array_builtins(define);
    define_math_builtins(define);
    define_file_builtins(define);
#if defined(_WIN32)
    define_bitmap_builtins(define);
#endif
    define_scene_builtins(define);
    define_dialog_builtins(define);
}

// builtins.h - every built-in function, one definer per subject, made globals by the engine.
#pragma once
#include "host/function.h"

using BuiltinDefiner = void (*)(const char* name, NativeFunction::Body body);

void define_string_builtins(BuiltinDefiner define);
void define_array_builtins(BuiltinDefiner define);
void define_math_builtins(BuiltinDefiner define);
void define_file_builtins(BuiltinDefiner define);
void define_bitmap_builtins(BuiltinDefiner define);
void define_scene_builtins(BuiltinDefiner define);
void define_all_builtins(BuiltinDefiner define);

// builtins.h - the built-in function library, handed to whoever makes them globals.
#pragma once
#include "host/function.h"

// Called once per built-in; the engine's definer makes each a global of that name.
using BuiltinDefiner = void (*)(const char* name, NativeFunction::Body body);

HOSTSDK_API void define_string_builtins(BuiltinDefiner define);
HOSTSDK_API void define_array_builtins(BuiltinDefiner define);
HOSTSDK_API void define_math_builtins(BuiltinDefiner define);
HOSTSDK_API void define_file_builtins(BuiltinDefiner define);
#if defined(_WIN32)
// Windows only, like the host's bitmaps.
HOSTSDK_API void define_bitmap_builtins(BuiltinDefiner define);
#endif
// The scene functions, and a constructor for every class in the class directory now.
HOSTSDK_API void define_scene_builtins(BuiltinDefiner define);
// One callable global per class of the class directory, named by its script name
// (Float_Value(), vantrelController()). Call again after load_plugins: plug-in classes
// arrive then. Defining a name twice hands the definer the same constructor again.
HOSTSDK_API void define_class_constructors(BuiltinDefiner define);
// Every subject above.
HOSTSDK_API void define_all_builtins(BuiltinDefiner define);

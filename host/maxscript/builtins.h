// builtins.h - the built-in function library, handed to whoever makes them globals.
#pragma once
#include <string>
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
// messageBox, queryBox, yesNoCancelBox, the file dialogs, box2.
HOSTSDK_API void define_dialog_builtins(BuiltinDefiner define);
HOSTSDK_API Value* make_box2(int x, int y, int w, int h);

// What a dialog box asks; the platform's answerer shows it and answers as a listed answer would
// ("yes", "no", "cancel", a path, or "" for cancelled).
struct DialogRequest {
    enum class Kind { Message, Query, YesNoCancel, OpenFile, SaveFile, SavePath } kind = Kind::Message;
    std::string text, title, file_name, types, initial_dir;
};
using DialogAnswerer = std::string (*)(const DialogRequest& request);
// Set by the Windows host; without one every dialog box is answered from the list.
extern HOSTSDK_API DialogAnswerer platform_dialog;

// Every subject above.
HOSTSDK_API void define_all_builtins(BuiltinDefiner define);

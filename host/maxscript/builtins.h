// builtins.h - the built-in function library, handed to whoever makes them globals.
#pragma once
#include <set>
#include <string>
#include "host/core/function.h"

// Where the built-ins go: the engine's definer makes each a global of its name. A
// definer without a constant sink skips constants (pi, red, the classes).
struct BuiltinDefiner {
    using Function = void (*)(const char* name, NativeFunction::Body body);
    using Constant = void (*)(const char* name, Value* value);
    Function function;
    Constant constant = nullptr;
    BuiltinDefiner(Function f, Constant c = nullptr) : function(f), constant(c) {}
    void operator()(const char* name, NativeFunction::Body body) const { function(name, std::move(body)); }
    // A built-in only this host has: a tool script meant for the real host must not call it.
    HOSTSDK_API void host_only(const char* name, NativeFunction::Body body) const;
    void value(const char* name, Value* v) const {
        if (constant) constant(name, v);
    }
};

// The names defined with host_only (or noted here by code that defines its globals
// itself), folded to lower case.
HOSTSDK_API void note_host_only(const char* name);
HOSTSDK_API const std::set<std::string>& host_only_builtins();

HOSTSDK_API void define_string_builtins(BuiltinDefiner define);
HOSTSDK_API void define_array_builtins(BuiltinDefiner define);
HOSTSDK_API void define_math_builtins(BuiltinDefiner define);
HOSTSDK_API void define_file_builtins(BuiltinDefiner define);
// readValue, readDelimitedString, skipToString.
HOSTSDK_API void define_reading_builtins(BuiltinDefiner define);
// formattedPrint, stricmp.
HOSTSDK_API void define_format_builtins(BuiltinDefiner define);
// getProperty, setProperty, hasProperty, isProperty, getPropNames, copy, deepCopy.
HOSTSDK_API void define_property_builtins(BuiltinDefiner define);
// getINISetting, setINISetting, and the delete of a key or section.
HOSTSDK_API void define_ini_builtins(BuiltinDefiner define);
// bit.and, bit.or, ... : one struct-like global, bit.
HOSTSDK_API void define_bit_builtins(BuiltinDefiner define);
// pi, e, length, distance, normalize, dot, cross, the named colours.
HOSTSDK_API void define_vector_builtins(BuiltinDefiner define);
#if defined(_WIN32)
// Windows only, like the host's bitmaps.
HOSTSDK_API void define_bitmap_builtins(BuiltinDefiner define);
#endif
// The scene functions, and a constructor for every class in the class directory now.
HOSTSDK_API void define_scene_builtins(BuiltinDefiner define);
// One class value per class of the class directory, named by its script name
// (Bezier_Float, vantrelController), which scripts call to make one. Call again after
// load_plugins: plug-in classes arrive then. Defining a name twice hands the definer
// the same class again.
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

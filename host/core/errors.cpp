// errors.cpp - one-line messages of the host's script errors.
#include "host/core/errors.h"

namespace {
// A property name as the listener quotes it: the bare text of a name or string.
std::string name_text(Value* v) {
    if (v && (v->tag == &Name_class || v->tag == &String_class)) return v->to_string();
    return print_form(v);
}
}  // namespace

std::string MAXScriptException::message() {
    StringStream s;
    sprin1(&s);
    return s.text;
}

ConversionError::ConversionError(Value* v, const char* type_name)
    : val(v), type_name(type_name ? type_name : "") {}

void ConversionError::sprin1(CharStream* s) {
    s->printf("-- Unable to convert: %s to type: %s", print_form(val).c_str(), type_name.c_str());
}

TypeError::TypeError(const char* reason, Value* v, ValueMetaClass* wanted)
    : reason(reason ? reason : ""), val(v), wanted(wanted) {}

void TypeError::sprin1(CharStream* s) {
    if (wanted)
        s->printf("-- Type error: %s requires %s, got: %s", reason.c_str(), wanted->name,
                  print_form(val).c_str());
    else
        s->printf("-- Type error: %s, got: %s", reason.c_str(), print_form(val).c_str());
}

ArgCountError::ArgCountError(const char* function, int wanted, int got)
    : function(function ? function : ""), wanted(wanted), got(got) {}

void ArgCountError::sprin1(CharStream* s) {
    s->printf("-- Argument count error: %s wanted %d, got %d", function.c_str(), wanted, got);
}

UnknownPropertyError::UnknownPropertyError(Value* target, Value* property)
    : target(target), property(property) {}

void UnknownPropertyError::sprin1(CharStream* s) {
    s->printf("-- Unknown property: \"%s\" in %s", name_text(property).c_str(),
              print_form(target).c_str());
}

RuntimeError::RuntimeError(const char* text) : text(text ? text : "") {}

RuntimeError::RuntimeError(const std::string& text) : text(text) {}

void RuntimeError::sprin1(CharStream* s) {
    s->printf("-- Runtime error: %s", text.c_str());
}

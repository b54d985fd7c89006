// function.cpp - native functions: C++ bodies callable as script values.
#include "host/core/function.h"

#include "host/core/errors.h"

NativeFunction::NativeFunction(const char* name, Body body) : name(name ? name : ""), body(std::move(body)) {
    tag = &Function_class;
}

Value* NativeFunction::apply(Value** arg_list, int count) {
    if (!body) throw RuntimeError("Function has no body: " + name);
    Value* result = body(arg_list, count);
    return result ? result : &undefined;
}

void NativeFunction::sprin1(CharStream* s) {
    s->printf("%s()", name.c_str());
}

// function.h - callable values: native C++ functions standing in for script functions.
#pragma once
#include <functional>
#include <string>
#include "host/core/value.h"

class HOSTSDK_API NativeFunction : public Value {
public:
    using Body = std::function<Value*(Value** arg_list, int count)>;
    std::string name;
    Body body;
    NativeFunction(const char* name, Body body);
    Value* apply(Value** arg_list, int count) override;
    void sprin1(CharStream* s) override;  // name()
};

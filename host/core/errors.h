// errors.h - the host's script errors, thrown as C++ exceptions across DLLs.
#pragma once
#include <string>
#include "host/core/value.h"

class HOSTSDK_API MAXScriptException {
public:
    virtual ~MAXScriptException() = default;
    // One-line message as the listener shows it, starting with "-- ".
    virtual void sprin1(CharStream* s) = 0;
    std::basic_string<MCHAR> message();
};

// A value that cannot become the wanted type.
class HOSTSDK_API ConversionError : public MAXScriptException {
public:
    Value* val;
    std::basic_string<MCHAR> type_name;
    ConversionError(Value* v, const MCHAR* type_name);
    void sprin1(CharStream* s) override;  // -- Unable to convert: 5 to type: String
};

// A value of the wrong class given to an operation.
class HOSTSDK_API TypeError : public MAXScriptException {
public:
    std::basic_string<MCHAR> reason;
    Value* val;
    ValueMetaClass* wanted;
    TypeError(const MCHAR* reason, Value* v, ValueMetaClass* wanted = nullptr);
    void sprin1(CharStream* s) override;  // -- Type error: nodeBitmap requires BitMap, got: 5
};

class HOSTSDK_API ArgCountError : public MAXScriptException {
public:
    std::basic_string<MCHAR> function;
    int wanted, got;
    ArgCountError(const MCHAR* function, int wanted, int got);
    void sprin1(CharStream* s) override;  // -- Argument count error: classOf wanted 1, got 2
};

class HOSTSDK_API UnknownPropertyError : public MAXScriptException {
public:
    Value* target;
    Value* property;
    UnknownPropertyError(Value* target, Value* property);
    void sprin1(CharStream* s) override;  // -- Unknown property: "foo" in SchematicControl:sc
};

// Any other runtime failure with a plain message.
class HOSTSDK_API RuntimeError : public MAXScriptException {
public:
    std::basic_string<MCHAR> text;
    explicit RuntimeError(const MCHAR* text);
    explicit RuntimeError(const std::basic_string<MCHAR>& text);
    void sprin1(CharStream* s) override;  // -- Runtime error: text
};

#define check_arg_count(fn, wanted, got) \
    do { if ((wanted) != (got)) throw ArgCountError(_M(#fn), (wanted), (got)); } while (0)

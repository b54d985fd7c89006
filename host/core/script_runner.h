// script_runner.h - running MAXScript text from C++: ExecuteMAXScriptScript and its result holder.
#pragma once
#include "host/core/value.h"
#include "host/core/win_types.h"

// The kinds a result holder can carry (the host's numbering for the ones it shares).
enum ParamType2 {
    TYPE_FLOAT = 0,
    TYPE_INT = 1,
    TYPE_BOOL = 4,
    TYPE_STRING = 8,
    TYPE_VALUE = 28,
    TYPE_VOID = 29,
};

// A script result handed to C++. Init before use; Free releases what it holds
// (a string is an owned copy) and leaves it empty (TYPE_VOID).
class HOSTSDK_API FPValue {
public:
    ParamType2 type = TYPE_VOID;
    union {
        int i;
        float f;
        const MCHAR* s;  // TYPE_STRING: owned, released by Free
        Value* v;       // TYPE_VALUE: any other value, protected until Free
    };

    FPValue() : i(0) {}
    ~FPValue() { Free(); }
    FPValue(const FPValue&) = delete;
    FPValue& operator=(const FPValue&) = delete;

    void Init();
    void Free();
};

// Runs text through the script engine. On success the value of the last expression
// goes into result (when given) and TRUE is returned. On an error the holder is left
// empty and FALSE is returned; the error is printed to the listener unless quietErrors.
namespace MAXScript {
// Where script text comes from; the host may trust some sources less than others.
enum class ScriptSource : int { NotSpecified, Embedded, NonEmbedded, Dynamic };
}  // namespace MAXScript

// logQuietErrors: a quiet error still goes to the host's log (this host keeps none).
HOSTSDK_API BOOL ExecuteMAXScriptScript(const MCHAR* text, MAXScript::ScriptSource source,
                                        BOOL quietErrors = FALSE, FPValue* result = nullptr,
                                        BOOL logQuietErrors = TRUE);

// interp.h - the evaluator's machine state: the value stack, frames, calls and error traces.
#pragma once
#include <exception>
#include <string>
#include <vector>

#include "host/core/heap_internal.h"
#include "host/maxscript/numbers.h"
#include "host/maxscript/script_values.h"

constexpr int kStackSlots = 1 << 16;
constexpr int kMaxCallDepth = 10000;

struct Frame {
    Value** slots;
    ScriptFunction* fn;
    Value* self;  // the struct instance a method runs for
    int line;
    Frame* caller;
};

namespace interp {
extern Value* stack[kStackSlots];
extern int sp;
extern Frame* frame;
extern int native_depth;  // native code between us and the caller: no automatic collection

inline void check_room(int n) {
    if (sp + n > kStackSlots) throw RuntimeError("Stack overflow: too many values on the script stack");
}
// Pops what was pushed in a scope, however the scope ends.
struct Mark {
    int base = sp;
    ~Mark() { sp = base; }
};
inline Value* push(Value* v) {
    check_room(1);
    stack[sp++] = v;
    return v;
}
// Collects when the heap has doubled since the last collection and no native code
// (which may hold values the collector cannot see) is below us.
extern size_t gc_threshold;
extern const long gc_stress_period;
void collect_now();
inline void maybe_gc() {
    if (native_depth > 0) return;
    if (gc_stress_period || heap_detail::live_count() >= gc_threshold) collect_now();
}

// Calls any value with evaluated arguments (keyword layout included).
Value* call_value(Value* f, Value** args, int count, Value* self = nullptr);
Value* call_script(ScriptFunction* f, Value** args, int count, Value* self);
ScriptFunction* make_closure(FnProto* p);

// Where the last uncaught error happened, innermost first.
struct TraceEntry {
    std::string function;
    std::string file;
    int line;
};
extern std::vector<TraceEntry> trace;
extern bool trace_taken;
void take_trace();

// The error a catch clause is handling (getCurrentException, bare throw).
extern std::exception_ptr current_exception;
extern std::string current_exception_text;

// Rolls the machine back to a saved point (after an error was caught).
struct SavePoint {
    int sp;
    Frame* frame;
    int native_depth;
    int depth;
};
extern int depth;
inline SavePoint save() { return {sp, frame, native_depth, depth}; }
inline void restore(const SavePoint& p) {
    sp = p.sp;
    frame = p.frame;
    native_depth = p.native_depth;
    depth = p.depth;
}

// Signals of exit, continue and return (never caught by a script's try).
struct ExitSignal { Value* value; };
struct ContinueSignal {};
struct ReturnSignal { Value* value; };
}  // namespace interp

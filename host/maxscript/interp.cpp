// interp.cpp - calls and frames over one rooted value stack; recursion limits; error traces.
#include "host/maxscript/interp.h"
#include "host/maxscript/engine_start.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "host/maxscript/call_args.h"
#include "host/maxscript/count_guard.h"
#include "host/core/heap_internal.h"

namespace interp {
Value* stack[kStackSlots];
int sp = 0;
Frame* frame = nullptr;
int native_depth = 0;
std::vector<TraceEntry> trace;
bool trace_taken = false;
std::exception_ptr current_exception;
std::string current_exception_text;

int depth = 0;
// Small enough that the garbage between collections stays near the processor's cache,
// large enough that what a collection traces beside the heap (a control's big graph)
// is not walked too often.
constexpr size_t kMinCollectionThreshold = 16384;
size_t gc_threshold = kMinCollectionThreshold;
// VANTREL_GC_STRESS=N collects at every Nth safe point: a temporary the engine forgot
// to root is then freed at once, and the sanitizers see its next use.
const long gc_stress_period = [] {
    const char* e = std::getenv("VANTREL_GC_STRESS");
    return e ? std::max(1L, std::atol(e)) : 0L;
}();

namespace {
char* stack_base = nullptr;

#ifdef _WIN32
constexpr size_t kNativeStackBudget = 700 * 1024;  // of the 2 MB main thread stack
#else
constexpr size_t kNativeStackBudget = 3 * 1024 * 1024;  // sanitizers make frames large
#endif

void mark_machine() {
    for (int i = 0; i < sp; ++i) heap_detail::trace(stack[i]);
    for (Frame* f = frame; f; f = f->caller) {
        heap_detail::trace(f->fn);
        heap_detail::trace(f->self);
    }
}

bool native_stack_exhausted() {
    char here;
    if (!stack_base) return false;
    size_t used = stack_base > &here ? static_cast<size_t>(stack_base - &here) : static_cast<size_t>(&here - stack_base);
    return used > kNativeStackBudget;
}

struct DepthGuard {
    bool outermost;
    DepthGuard() : outermost(depth == 0) {
        char here;
        if (outermost) stack_base = &here;
        if (++depth > kMaxCallDepth || native_stack_exhausted()) {
            --depth;
            throw RuntimeError("Stack overflow: recursion too deep");
        }
    }
    ~DepthGuard() {
        --depth;
        if (outermost) stack_base = nullptr;
    }
};
}  // namespace

void root_machine() { gc_add_root_marker(mark_machine); }

void collect_now() {
    static long safe_points = 0;
    if (gc_stress_period && ++safe_points % gc_stress_period == 0) {
        gc();
        return;
    }
    size_t live = gc_live_count();
    if (live < gc_threshold) return;
    gc();
    live = gc_live_count();
    gc_threshold = live * 2 > kMinCollectionThreshold ? live * 2 : kMinCollectionThreshold;
}

void take_trace() {
    if (trace_taken) return;
    trace.clear();
    for (Frame* f = frame; f; f = f->caller) {
        FnProto* p = f->fn ? f->fn->proto : nullptr;
        trace.push_back({p ? p->name : "?", p && p->file ? *p->file : "", f->line});
    }
    trace_taken = true;
}

ScriptFunction* make_closure(FnProto* p) {
    ScriptFunction* outer = frame ? frame->fn : nullptr;
    auto* f = new ScriptFunction(p, outer ? outer->chunk : nullptr);
    f->upvals.reserve(p->upvals.size());
    for (const UpvalDesc& d : p->upvals) {
        if (d.from_parent_local) {
            Value*& slot = frame->slots[d.index];
            if (!slot || slot->tag != &Box_class) slot = new Box(slot ? slot : &undefined);
            f->upvals.push_back(slot);
        } else {
            f->upvals.push_back(outer->upvals[d.index]);
        }
    }
    return f;
}

Value* run_frame(ScriptFunction* f, Value** args, int count, int positional, bool has_keys, Value* self) {
    FnProto* p = f->proto;
    DepthGuard guard;
    // A method calling a sibling runs for the same instance.
    if (!self && p->owner && frame && frame->self && frame->self->tag == &StructInstance_class &&
        static_cast<StructInstance*>(frame->self)->def->node == p->owner)
        self = frame->self;
    SavePoint saved = save();
    check_room(p->nslots + 1);
    Frame fr{&stack[sp], f, self, p->body->line, frame};
    Value** slots = fr.slots;
    for (int i = 0; i < p->nslots; ++i) slots[i] = &undefined;
    sp += p->nslots;
    int bound = positional < p->nparams ? positional : p->nparams;
    for (int i = 0; i < bound; ++i) slots[p->params[i]->slot] = args[i];
    frame = &fr;
    try {
        for (size_t k = 0; k < p->key_names.size(); ++k) {
            VarInfo* v = p->params[p->nparams + k];
            Value* given = has_keys ? key_arg(args, count, p->key_names[k]) : nullptr;
            if (given) slots[v->slot] = given;
            else if (p->key_defaults[k]) slots[v->slot] = p->key_defaults[k]->eval();
            else slots[v->slot] = unsupplied_value();
        }
        for (VarInfo* v : p->params)
            if (v->captured) slots[v->slot] = new Box(slots[v->slot]);
        maybe_gc();  // recursion without loops makes garbage too; everything live is rooted here
        Value* result = p->body->eval();
        restore(saved);
        return result;
    } catch (ReturnSignal& r) {
        restore(saved);
        return r.value;
    } catch (ExitSignal&) {
        take_trace();
        restore(saved);
        throw RuntimeError("exit outside of a loop");
    } catch (ContinueSignal&) {
        take_trace();
        restore(saved);
        throw RuntimeError("continue outside of a loop");
    } catch (MAXScriptException&) {
        take_trace();
        restore(saved);
        throw;
    } catch (...) {
        take_trace();
        restore(saved);
        throw;
    }
}

Value* call_script(ScriptFunction* f, Value** args, int count, Value* self) {
    FnProto* p = f->proto;
    int positional = count;
    bool has_keys = false;
    for (int i = 0; i < count; ++i)
        if (args[i] == &keyarg_marker_value) {
            positional = i;
            has_keys = true;
            break;
        }
    if (positional != p->nparams && !p->lenient) throw ArgCountError(p->name.c_str(), p->nparams, positional);
    if (p->mapped && positional > 0 && args[0]->tag == &Array_class) {
        // A mapped function given an array runs once for each of its items.
        auto* items = static_cast<Array*>(args[0]);
        int base = sp;
        for (int i = 0; i < items->size; ++i) {
            check_room(count);
            Value** copy = &stack[sp];
            Value* item = items->data[i];
            copy[0] = item ? item : &undefined;
            for (int k = 1; k < count; ++k) copy[k] = args[k];
            sp += count;
            try {
                run_frame(f, copy, count, positional, has_keys, self);
            } catch (...) {
                sp = base;
                throw;
            }
            sp = base;
        }
        return &ok;
    }

    return run_frame(f, args, count, positional, has_keys, self);
}

Value* call_value(Value* f, Value** args, int count, Value* self) {
    if (f && f->tag == &MAXScriptFunction_class)
        return call_script(static_cast<ScriptFunction*>(f), args, count, self);
    if (!f) throw RuntimeError("Call needs function or class, got: undefined");
    CountGuard native(native_depth);
    Value* r = f->apply(args, count);
    return r ? r : &undefined;
}
}  // namespace interp

namespace small_ints {
alignas(Integer) unsigned char storage[kCount * sizeof(Integer)];
bool block_made[(kCount >> kBlockShift) + 1];

Value* make_block(unsigned k) {
    const unsigned first = k >> kBlockShift << kBlockShift;
    const unsigned end = std::min(kCount, first + (1u << kBlockShift));
    auto* table = reinterpret_cast<Integer*>(storage);
    for (unsigned i = first; i < end; ++i)
        ::new (static_cast<void*>(table + i)) Integer(static_cast<int>(i) + kMin);  // not Collectable's new: never registered
    block_made[k >> kBlockShift] = true;
    return table + k;
}
}  // namespace small_ints

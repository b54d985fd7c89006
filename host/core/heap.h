// heap.h - the collectable heap: every Value lives here until gc() finds it unreachable.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/core/hostsdk_api.h"

class Value;
class ValueMetaClass;

// Placement tag spelled the way plug-ins ask for heap allocation: new (GC_IN_HEAP) T(...).
struct GCHeapTag {};
inline constexpr GCHeapTag GC_IN_HEAP{};

enum CollectableFlags : uint8_t {
    GC_MARKED = 1,     // reached during the current mark phase
    GC_PERMANENT = 2,  // never swept (interned names, singletons)
    GC_IN_ALLOC_FRAME = 4,  // held by an open alloc frame, which forgets it when it is freed
};

namespace heap_detail {
// Picks the constructors that make a value in a block of the leaf pool (host/core/heap_internal.h).
struct LeafTag {};
}  // namespace heap_detail

// Base of everything the collector manages. Objects created with new are
// registered with the heap; static objects are not, so they are never swept.
class HOSTSDK_API Collectable {
public:
    uint8_t gc_flags = 0;
    // Where the heap's registry holds the object (kNotInHeap for static objects); the
    // registry's own bookkeeping, so freeing never searches for the object.
    static constexpr uint32_t kNotInHeap = 0xffffffffu;
    // Numbers live in the heap's leaf pool instead of its registry (host/core/heap_internal.h).
    static constexpr uint32_t kInLeafPool = 0xfffffffeu;
    uint32_t gc_slot = kNotInHeap;

    // Registers the object when it lives in the heap (made by operator new).
    Collectable();
    Collectable(const Collectable&) = delete;
    Collectable& operator=(const Collectable&) = delete;
    virtual ~Collectable();

    static void* operator new(size_t size);
    static void* operator new(size_t size, GCHeapTag);
    // Sized, so that test builds can poison the whole block.
    static void operator delete(void* p, size_t size);
    static void operator delete(void* p, GCHeapTag);  // construction threw

    // Frees the object; the collector calls it for every unreachable object.
    virtual void collect();
    // Marks the object and everything it holds. Overrides call the base first.
    virtual void gc_trace();

    bool is_marked() const { return gc_flags & GC_MARKED; }
    bool is_not_marked() const { return !is_marked(); }
    void mark_in_use();
    void make_permanent();

    // The collector's mark phase: every root and what it holds.
    static void mark();

protected:
    // In a leaf pool block: the pool knows the object already, nothing to register.
    explicit Collectable(heap_detail::LeafTag) noexcept : gc_slot(kInLeafPool) {}
};

// Runs a full mark-and-sweep collection.
HOSTSDK_API void gc();
// Number of live heap objects (tests and the demo report it).
HOSTSDK_API size_t gc_live_count();
// True while p is a live heap object (tests use it to see that something was freed).
HOSTSDK_API bool gc_is_live(const void* p);

// Test builds (VANTREL_POISON_FREED) keep a freed value's memory for a while, filled
// with a poison pattern, and marking, reading or converting it aborts with a message
// naming its class instead of reading whatever took its place.
HOSTSDK_API bool gc_poisons_freed();
// Replaces what happens when a poisoned value is touched (the default prints the
// message and aborts); returns the previous handler. Tests throw from theirs.
typedef void (*gc_freed_use_handler)(const char* message);
HOSTSDK_API gc_freed_use_handler gc_set_freed_use_handler(gc_freed_use_handler handler);
namespace heap_detail {
// Value's destructor hands over the class of the value being freed.
HOSTSDK_API void note_freed_class(const Collectable* object, const ValueMetaClass* tag);
// Traces a possibly-null value not yet marked; deep structures wait in a list
// rather than deepen the native stack. The host's own values trace through it.
HOSTSDK_API void trace(Value* v);
// The thread's local arrays (value_local_array).
HOSTSDK_API Value** push_value_local_array(int count);
HOSTSDK_API void pop_value_local_array(Value** array);
}  // namespace heap_detail

// Extra roots: slots whose current value is always marked.
HOSTSDK_API void gc_add_root(Value** slot);
HOSTSDK_API void gc_remove_root(Value** slot);
// Root sets kept outside the heap (open rollouts): each marker marks its own values.
typedef void (*gc_root_marker)();
HOSTSDK_API void gc_add_root_marker(gc_root_marker marker);

// Per-thread script frames. A value created while an alloc frame is open stays
// alive until the frame is popped; local arrays are roots while pushed.
HOSTSDK_API void init_thread_locals();
HOSTSDK_API void push_alloc_frame();
HOSTSDK_API void pop_alloc_frame();

// An array of local values, rooted until the end of the scope that declares it.
class ValueLocalArray {
public:
    ValueLocalArray(Value**& var, int count) : slots(heap_detail::push_value_local_array(count)) { var = slots; }
    ~ValueLocalArray() { heap_detail::pop_value_local_array(slots); }
    ValueLocalArray(const ValueLocalArray&) = delete;
    ValueLocalArray& operator=(const ValueLocalArray&) = delete;

private:
    Value** slots;
};
#define value_local_array(var, count) ValueLocalArray var##_local_array_scope((var), (count))

// Script work from outside the engine (a window procedure, a timer): the thread's
// frames are set up, and values made inside live until the context ends.
class HOSTSDK_API ScopedMaxScriptEvaluationContext {
public:
    ScopedMaxScriptEvaluationContext();
    ~ScopedMaxScriptEvaluationContext();
    ScopedMaxScriptEvaluationContext(const ScopedMaxScriptEvaluationContext&) = delete;
    ScopedMaxScriptEvaluationContext& operator=(const ScopedMaxScriptEvaluationContext&) = delete;
};

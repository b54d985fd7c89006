// heap.h - the collectable heap: every Value lives here until gc() finds it unreachable.
#pragma once
#include <cstddef>
#include <cstdint>
#include "host/hostsdk_api.h"

class Value;

// Placement tag spelled the way plug-ins ask for heap allocation: new (GC_IN_HEAP) T(...).
struct GCHeapTag {};
inline constexpr GCHeapTag GC_IN_HEAP{};

enum CollectableFlags : uint8_t {
    GC_MARKED = 1,     // reached during the current mark phase
    GC_PERMANENT = 2,  // never swept (interned names, singletons)
};

// Base of everything the collector manages. Objects created with new are
// registered with the heap; static objects are not, so they are never swept.
class HOSTSDK_API Collectable {
public:
    uint8_t gc_flags = 0;

    // Registers the object when it lives in the heap (made by operator new).
    Collectable();
    Collectable(const Collectable&) = delete;
    Collectable& operator=(const Collectable&) = delete;
    virtual ~Collectable();

    static void* operator new(size_t size);
    static void* operator new(size_t size, GCHeapTag);
    static void operator delete(void* p);
    static void operator delete(void* p, GCHeapTag);  // construction threw

    // Frees the object; the collector calls it for every unreachable object.
    virtual void collect();
    // Marks the object and everything it holds. Overrides call the base first.
    virtual void gc_trace();

    bool is_marked() const { return gc_flags & GC_MARKED; }
    // Sets the mark; returns false when it was already set (stop recursing).
    bool mark();
    void make_permanent() { gc_flags |= GC_PERMANENT; }
};

// Marks a possibly-null value.
HOSTSDK_API void gc_mark(Value* v);

// Runs a full mark-and-sweep collection.
HOSTSDK_API void gc();
// Number of live heap objects (tests and the demo report it).
HOSTSDK_API size_t gc_live_count();
// True while p is a live heap object (tests use it to see that something was freed).
HOSTSDK_API bool gc_is_live(const void* p);

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
HOSTSDK_API Value** push_value_local_array(int count);
HOSTSDK_API void pop_value_local_array(Value** array);

#define value_local_array(var, count) ((var) = push_value_local_array(count))

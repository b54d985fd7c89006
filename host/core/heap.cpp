// heap.cpp - the collectable heap: registration, roots, script frames, mark and sweep.
#include "host/core/heap.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <new>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/core/value.h"

namespace {

// Every heap object with the serial it got at registration. The serial lets a
// stale pointer (freed, its address reused) be told apart from the object it named.
struct Registry {
    std::unordered_map<Collectable*, uint64_t> live;
    uint64_t next_serial = 1;
    std::vector<Value**> root_slots;
    std::vector<gc_root_marker> root_markers;
    std::vector<Collectable*> marked;  // everything marked this cycle, cleared afterwards
    bool marking = false;
    bool collecting = false;
};

// Leaked on purpose: plug-ins may free values from their own static destructors
// after this module's statics are gone.
Registry& registry() {
    static Registry* r = new Registry;
    return *r;
}

struct TrackedRef {
    Collectable* object;
    uint64_t serial;
};

struct LocalArray {
    Value** slots;
    int count;
};

struct ThreadFrames {
    std::vector<std::vector<TrackedRef>> alloc_frames;
    std::vector<LocalArray> local_arrays;
};

// Frames of every thread that has script locals, so the collector sees them all.
std::vector<ThreadFrames*>& all_thread_frames() {
    static auto* frames = new std::vector<ThreadFrames*>;
    return *frames;
}

struct ThreadFramesOwner {
    ThreadFrames* frames = nullptr;
    ~ThreadFramesOwner() {
        if (!frames) return;
        auto& all = all_thread_frames();
        all.erase(std::remove(all.begin(), all.end(), frames), all.end());
        delete frames;
    }
};

ThreadFrames& thread_frames() {
    thread_local ThreadFramesOwner owner;
    if (!owner.frames) {
        owner.frames = new ThreadFrames;
        all_thread_frames().push_back(owner.frames);
    }
    return *owner.frames;
}

// Blocks handed out by operator new whose Collectable constructor has not run yet.
// The constructor finds its own block here; static objects never appear, so they
// stay unregistered. A list, because constructor arguments may allocate too.
struct PendingBlock {
    char* start;
    size_t size;
};

std::vector<PendingBlock>& pending_blocks() {
    thread_local std::vector<PendingBlock> blocks;
    return blocks;
}

void* allocate_block(size_t size) {
    void* p = ::operator new(size);
    pending_blocks().push_back({static_cast<char*>(p), size});
    return p;
}

void forget_pending(void* p) {
    auto& blocks = pending_blocks();
    for (size_t i = blocks.size(); i-- > 0;) {
        if (blocks[i].start == p) {
            blocks.erase(blocks.begin() + i);
            return;
        }
    }
}

bool claim_pending(const void* object) {
    auto& blocks = pending_blocks();
    const char* c = static_cast<const char*>(object);
    for (size_t i = blocks.size(); i-- > 0;) {
        if (c >= blocks[i].start && c < blocks[i].start + blocks[i].size) {
            blocks.erase(blocks.begin() + i);
            return true;
        }
    }
    return false;
}

bool still_live(const TrackedRef& ref) {
    auto& live = registry().live;
    auto it = live.find(ref.object);
    return it != live.end() && it->second == ref.serial;
}

void mark_tracked(const TrackedRef& ref) {
    if (still_live(ref)) heap_detail::trace(static_cast<Value*>(ref.object));
}

void mark_roots() {
    Registry& r = registry();
    // Permanent objects. Copy first: tracing must not see the map change under it.
    std::vector<Collectable*> permanent;
    for (auto& [object, serial] : r.live)
        if (object->gc_flags & GC_PERMANENT) permanent.push_back(object);
    for (Collectable* object : permanent)
        if (!object->is_marked()) object->gc_trace();

    for (Value** slot : r.root_slots)
        if (slot) heap_detail::trace(*slot);

    for (gc_root_marker marker : r.root_markers) marker();

    for (ThreadFrames* frames : all_thread_frames()) {
        for (auto& frame : frames->alloc_frames)
            for (const TrackedRef& ref : frame) mark_tracked(ref);
        for (const LocalArray& locals : frames->local_arrays)
            for (int i = 0; i < locals.count; ++i) heap_detail::trace(locals.slots[i]);
    }
}

// ---- poisoned freed values (test builds)

[[noreturn]] void abort_on_freed_use(const char* message) {
    std::fprintf(stderr, "%s\n", message);
    std::fflush(stderr);
    std::abort();
}

gc_freed_use_handler& freed_use_handler() {
    static gc_freed_use_handler handler = abort_on_freed_use;
    return handler;
}

#if defined(VANTREL_POISON_FREED)

// The class of the value whose destructor ran last on this thread, until its block is
// freed. Plain data: static values are destroyed at exit, after the thread's own objects.
struct FreedNote {
    const void* object;
    char className[64];
};
thread_local FreedNote last_freed{};

constexpr unsigned char kPoison = 0xDD;
constexpr size_t kQuarantineBytes = 64u << 20;

struct Quarantined {
    void* block;
    size_t size;
    const void* object;  // the FreedValue in it, or null
};

struct Quarantine {
    std::deque<Quarantined> blocks;
    size_t bytes = 0;
    std::unordered_map<const void*, std::string> classOf;  // by the freed value's address
};

Quarantine& quarantine() {
    static auto* q = new Quarantine;  // leaked like the registry
    return *q;
}

[[noreturn]] void touched_freed(const void* object, const char* how) {
    auto& names = quarantine().classOf;
    auto at = names.find(object);
    const std::string name = at == names.end() ? "value of unknown class" : at->second;
    const std::string message = std::string("Use after free: a freed ") + name + " value was " + how;
    freed_use_handler()(message.c_str());
    abort_on_freed_use(message.c_str());  // a handler must not return
}

// What a freed value's memory holds while in quarantine: every virtual reports the use.
class FreedValue : public Value {
public:
    void sprin1(CharStream*) override { touched_freed(this, "printed"); }
    void sprint(CharStream*) override { touched_freed(this, "printed"); }
    BOOL is_kind_of(ValueMetaClass*) override { touched_freed(this, "asked its class"); }
    Value* classOf_vf(Value**, int) override { touched_freed(this, "asked its class"); }
    Value* superClassOf_vf(Value**, int) override { touched_freed(this, "asked its class"); }
    Value* isKindOf_vf(Value**, int) override { touched_freed(this, "asked its class"); }
    Value* get_property(Value**, int) override { touched_freed(this, "read"); }
    Value* set_property(Value**, int) override { touched_freed(this, "written"); }
    Value* apply(Value**, int) override { touched_freed(this, "called"); }
    int to_int() override { touched_freed(this, "converted"); }
    float to_float() override { touched_freed(this, "converted"); }
    const char* to_string() override { touched_freed(this, "converted"); }
    BOOL to_bool() override { touched_freed(this, "converted"); }
    Point2 to_point2() override { touched_freed(this, "converted"); }
    COLORREF to_colorref() override { touched_freed(this, "converted"); }
    INode* to_node() override { touched_freed(this, "converted"); }
    MtlBase* to_mtlbase() override { touched_freed(this, "converted"); }
    Control* to_controller() override { touched_freed(this, "converted"); }
    void gc_trace() override { touched_freed(this, "marked"); }
    void collect() override { touched_freed(this, "collected"); }
    ~FreedValue() override { touched_freed(this, "freed again"); }
};

// Keeps the block, poisoned, with a FreedValue where the value was. The oldest blocks
// go back to the allocator once the quarantine is full.
void poison(void* block, size_t size) {
    Quarantine& q = quarantine();
    const char* start = static_cast<const char*>(block);
    const char* object = static_cast<const char*>(last_freed.object);
    std::memset(block, kPoison, size);
    if (object && object >= start && object + sizeof(FreedValue) <= start + size) {
        ::new (const_cast<char*>(object)) FreedValue;  // not registered: its block is not pending
        q.classOf[object] = last_freed.className;
    } else {
        object = nullptr;
    }
    last_freed.object = nullptr;
    q.blocks.push_back({block, size, object});
    q.bytes += size;
    while (q.bytes > kQuarantineBytes && !q.blocks.empty()) {
        const Quarantined old = q.blocks.front();
        q.blocks.pop_front();
        q.bytes -= old.size;
        if (old.object) q.classOf.erase(old.object);
        ::operator delete(old.block);
    }
}

#endif

}  // namespace

bool gc_poisons_freed() {
#if defined(VANTREL_POISON_FREED)
    return true;
#else
    return false;
#endif
}

gc_freed_use_handler gc_set_freed_use_handler(gc_freed_use_handler handler) {
    gc_freed_use_handler previous = freed_use_handler();
    freed_use_handler() = handler ? handler : abort_on_freed_use;
    return previous;
}

void heap_detail::note_freed_class(const Collectable* object, const ValueMetaClass* tag) {
#if defined(VANTREL_POISON_FREED)
    // Only heap values are freed into the quarantine; static ones (metaclasses among
    // them) are destroyed at exit, in no particular order.
    auto& live = registry().live;
    if (live.find(const_cast<Collectable*>(object)) == live.end()) return;
    last_freed.object = object;
    std::snprintf(last_freed.className, sizeof last_freed.className, "%s", tag ? tag->name : "Value");
#else
    (void)object, (void)tag;
#endif
}

Collectable::~Collectable() {
    registry().live.erase(this);
}

void* Collectable::operator new(size_t size) {
    return allocate_block(size);
}

void* Collectable::operator new(size_t size, GCHeapTag) {
    return allocate_block(size);
}

void Collectable::operator delete(void* p, size_t size) {
    // The destructor has already unregistered the object; only a block whose
    // construction never reached Collectable can still be pending.
    forget_pending(p);
#if defined(VANTREL_POISON_FREED)
    if (p) {
        poison(p, size);
        return;
    }
#else
    (void)size;
#endif
    ::operator delete(p);
}

void Collectable::operator delete(void* p, GCHeapTag) {
    forget_pending(p);
    ::operator delete(p);
}

void Collectable::collect() {
    delete this;
}

void Collectable::gc_trace() {
    mark_in_use();
}

void Collectable::mark_in_use() {
    if (gc_flags & GC_MARKED) return;
    gc_flags |= GC_MARKED;
    Registry& r = registry();
    if (r.marking) r.marked.push_back(this);
}

// Registration happens here rather than in operator new so that the object's own
// address is used, whatever the offset of Collectable inside it.
namespace heap_detail {
void register_if_heap(Collectable* object) {
    if (!claim_pending(object)) return;
    Registry& r = registry();
    uint64_t serial = r.next_serial++;
    r.live[object] = serial;
    ThreadFrames& frames = thread_frames();
    if (!frames.alloc_frames.empty()) frames.alloc_frames.back().push_back({object, serial});
}
}  // namespace heap_detail

Collectable::Collectable() {
    heap_detail::register_if_heap(this);
}

namespace {
// Tracing recurses through gc_trace; past this depth (a long chain of nested arrays, say)
// values wait in a list instead, so no structure can overflow the native stack.
constexpr int kMaxTraceDepth = 256;
int trace_depth = 0;
std::vector<Value*>& deferred_traces() {
    static auto* list = new std::vector<Value*>;
    return *list;
}
}  // namespace

void heap_detail::trace(Value* v) {
    if (!v || v->is_marked()) return;
    if (trace_depth >= kMaxTraceDepth) {
        deferred_traces().push_back(v);
        return;
    }
    ++trace_depth;
    v->gc_trace();
    --trace_depth;
}

void gc() {
    Registry& r = registry();
    if (r.collecting) return;  // a collect() that asks for a collection
    r.collecting = true;

    for (auto& [object, serial] : r.live) object->gc_flags &= ~GC_MARKED;
    r.marked.clear();
    r.marking = true;
    Collectable::mark();
    r.marking = false;

    std::vector<TrackedRef> dead;
    for (auto& [object, serial] : r.live)
        if (!(object->gc_flags & GC_MARKED)) dead.push_back({object, serial});

    // Unregistered (static) objects were marked too; clear every mark now so the
    // next cycle traces through them again.
    for (Collectable* object : r.marked) object->gc_flags &= ~GC_MARKED;
    r.marked.clear();

    // One collect() may free another dead object; skip any that are gone.
    for (const TrackedRef& ref : dead)
        if (still_live(ref)) ref.object->collect();

    r.collecting = false;
}

size_t gc_live_count() {
    return registry().live.size();
}

bool gc_is_live(const void* p) {
    auto& live = registry().live;
    return live.find(static_cast<Collectable*>(const_cast<void*>(p))) != live.end();
}

void gc_add_root(Value** slot) {
    registry().root_slots.push_back(slot);
}

void gc_add_root_marker(gc_root_marker marker) {
    auto& markers = registry().root_markers;
    if (marker && std::find(markers.begin(), markers.end(), marker) == markers.end())
        markers.push_back(marker);
}

void gc_remove_root(Value** slot) {
    auto& slots = registry().root_slots;
    auto it = std::find(slots.begin(), slots.end(), slot);
    if (it != slots.end()) slots.erase(it);
}

void init_thread_locals() {
    thread_frames();
}

void push_alloc_frame() {
    thread_frames().alloc_frames.emplace_back();
}

void pop_alloc_frame() {
    auto& frames = thread_frames().alloc_frames;
    if (!frames.empty()) frames.pop_back();
}

Value** heap_detail::push_value_local_array(int count) {
    if (count < 1) count = 1;
    Value** slots = new Value*[count]();
    thread_frames().local_arrays.push_back({slots, count});
    return slots;
}

void heap_detail::pop_value_local_array(Value** array) {
    auto& arrays = thread_frames().local_arrays;
    for (size_t i = arrays.size(); i-- > 0;) {
        if (arrays[i].slots == array) {
            delete[] arrays[i].slots;
            arrays.erase(arrays.begin() + i);
            return;
        }
    }
}

void Collectable::mark() {
    mark_roots();
    auto& deferred = deferred_traces();
    while (!deferred.empty()) {
        Value* v = deferred.back();
        deferred.pop_back();
        heap_detail::trace(v);
    }
}

ScopedMaxScriptEvaluationContext::ScopedMaxScriptEvaluationContext() {
    init_thread_locals();
    push_alloc_frame();
}

ScopedMaxScriptEvaluationContext::~ScopedMaxScriptEvaluationContext() { pop_alloc_frame(); }

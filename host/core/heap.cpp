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
#include <unordered_set>
#include <utility>
#include <vector>

#include "host/core/heap_internal.h"
#include "host/core/value.h"


namespace {

// Every heap object, each knowing its own index (gc_slot), so registering and freeing
// are a push and a swap, and nothing ever reads a freed object to learn whether it lives.
struct Registry {
    std::vector<Collectable*> objects;
    std::vector<Value**> root_slots;
    std::vector<gc_root_marker> root_markers;
    std::vector<Collectable*> marked;  // everything marked this cycle, cleared afterwards
    bool marking = false;
    bool collecting = false;
    bool sweeping = false;
    Collectable* sweep_current = nullptr;  // the object being collected, until it is gone
};

// Leaked on purpose: plug-ins may free values from their own static destructors
// after this module's statics are gone. A plain pointer, zero before any static
// constructor runs, so the first value made anywhere finds it.
Registry* the_registry = nullptr;
inline Registry& registry() {
    if (!the_registry) the_registry = new Registry;
    return *the_registry;
}

void add_object(Registry& r, Collectable* object) {
    object->gc_slot = static_cast<uint32_t>(r.objects.size());
    r.objects.push_back(object);
    ++heap_detail::registered_objects;
    if (r.sweeping) {  // made by a collect(): it survives this sweep
        object->gc_flags |= GC_MARKED;
        r.marked.push_back(object);
    }
}

void remove_object(Registry& r, Collectable* object) {
    auto& objects = r.objects;
    const size_t i = object->gc_slot;
    object->gc_slot = Collectable::kNotInHeap;
    if (object == r.sweep_current) r.sweep_current = nullptr;
    Collectable* last = objects.back();
    objects[i] = last;
    last->gc_slot = static_cast<uint32_t>(i);
    objects.pop_back();
    --heap_detail::registered_objects;
}

struct LocalArray {
    Value** slots;
    int count;
};

struct ThreadFrames {
    std::vector<std::vector<Collectable*>> alloc_frames;
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

// Blocks handed out by operator new whose Collectable constructor has not run yet.
// The constructor finds its own block here; static objects never appear, so they
// stay unregistered. A list, because constructor arguments may allocate too.
struct PendingBlock {
    char* start;
    size_t size;
};

// What each thread keeps: one lookup finds both on the allocation path.
struct ThreadHeap {
    std::vector<PendingBlock> pending;
    ThreadFramesOwner frames;
};

// The owner frees the thread's heap record at thread exit; the plain pointer beside it
// needs no guard, which keeps the allocation path's lookup to one load.
struct ThreadHeapOwner {
    ThreadHeap* heap = nullptr;
    ~ThreadHeapOwner();
};
thread_local ThreadHeap* this_thread_heap = nullptr;

ThreadHeap& thread_heap() {
    if (ThreadHeap* heap = this_thread_heap) return *heap;
    thread_local ThreadHeapOwner owner;
    owner.heap = this_thread_heap = new ThreadHeap;
    return *owner.heap;
}

ThreadHeapOwner::~ThreadHeapOwner() {
    this_thread_heap = nullptr;
    delete heap;
}

ThreadFrames& thread_frames() {
    ThreadFramesOwner& owner = thread_heap().frames;
    if (!owner.frames) {
        owner.frames = new ThreadFrames;
        all_thread_frames().push_back(owner.frames);
    }
    return *owner.frames;
}

}  // namespace

size_t heap_detail::open_alloc_frames = 0;
size_t heap_detail::registered_objects = 0;

void heap_detail::join_alloc_frame(Collectable* object) {
    ThreadFrames* frames = thread_heap().frames.frames;
    if (frames && !frames->alloc_frames.empty()) {
        frames->alloc_frames.back().push_back(object);
        object->gc_flags |= GC_IN_ALLOC_FRAME;
    }
}

// ---- the leaf pool (host/core/heap_internal.h)

heap_detail::LeafCursor heap_detail::leaf_cursor;

namespace {
using heap_detail::kLeafBytes;
using heap_detail::leaf_cursor;
constexpr size_t kLeafChunkBytes = 64 * 1024;  // chunks are aligned to their size
constexpr size_t kLeafSlots = kLeafChunkBytes / kLeafBytes;
constexpr size_t kLeafWords = kLeafSlots / 64;
struct LeafChunk {
    uint64_t in_use[kLeafWords];
    uint64_t marked[kLeafWords];
    uint64_t pinned[kLeafWords];  // made permanent (and the slots this header fills)
};
constexpr size_t kLeafHeaderSlots = (sizeof(LeafChunk) + kLeafBytes - 1) / kLeafBytes;

// Plain data, zero before any constructor runs, like the registry's pointer.
struct LeafChunks {
    std::vector<LeafChunk*>* all;  // leaked like the registry
    size_t current;                // the cursor's chunk and word
    size_t word;
    const void* released;  // a leaf deleted by hand: its operator delete gives nothing back
};
LeafChunks leaf_chunks;

inline char* leaf_address(LeafChunk* chunk, size_t slot) {
    return reinterpret_cast<char*>(chunk) + slot * kLeafBytes;
}

inline LeafChunk* leaf_chunk_of(const void* p, size_t& slot) {
    const uintptr_t a = reinterpret_cast<uintptr_t>(p);
    slot = (a & (kLeafChunkBytes - 1)) / kLeafBytes;
    return reinterpret_cast<LeafChunk*>(a & ~(kLeafChunkBytes - 1));
}

void poison_leaf(void* p) {
#if defined(VANTREL_ASAN)
    ASAN_POISON_MEMORY_REGION(p, kLeafBytes);
#else
    (void)p;
#endif
}

LeafChunk* new_leaf_chunk() {
    auto* chunk = static_cast<LeafChunk*>(::operator new(kLeafChunkBytes, std::align_val_t(kLeafChunkBytes)));
    std::memset(chunk, 0, sizeof(LeafChunk));
    for (size_t i = 0; i < kLeafHeaderSlots; ++i) {
        chunk->in_use[i >> 6] |= uint64_t{1} << (i & 63);
        chunk->pinned[i >> 6] |= uint64_t{1} << (i & 63);
    }
    for (size_t i = kLeafHeaderSlots; i < kLeafSlots; ++i) poison_leaf(leaf_address(chunk, i));
    return chunk;
}

void point_cursor(LeafChunk* chunk, size_t word) {
    leaf_cursor.in_use = &chunk->in_use[word];
    leaf_cursor.base = leaf_address(chunk, word * 64);
}

// After the mark: every leaf neither marked nor pinned is free again; survivors lose their mark.
void sweep_leaves() {
    if (!leaf_chunks.all) return;
    for (LeafChunk* chunk : *leaf_chunks.all) {
        for (size_t w = 0; w < kLeafWords; ++w) {
            const uint64_t used = chunk->in_use[w];
            const uint64_t marked = chunk->marked[w] & used;
            const uint64_t keep = used & (marked | chunk->pinned[w]);
            for (uint64_t m = marked; m; m &= m - 1)
                reinterpret_cast<Collectable*>(leaf_address(chunk, w * 64 + static_cast<size_t>(__builtin_ctzll(m))))
                    ->gc_flags &= ~GC_MARKED;
            const uint64_t dead = used & ~keep;
#if defined(VANTREL_ASAN)
            for (uint64_t d = dead; d; d &= d - 1)
                poison_leaf(leaf_address(chunk, w * 64 + static_cast<size_t>(__builtin_ctzll(d))));
#endif
            leaf_cursor.live -= static_cast<size_t>(__builtin_popcountll(dead));
            chunk->in_use[w] = keep;
            chunk->marked[w] = 0;
        }
    }
    leaf_cursor.free_bits = 0;  // the cursor word is read again
}

bool leaf_is_live(const void* object) {
    if (!leaf_chunks.all) return false;
    size_t slot;
    LeafChunk* chunk = leaf_chunk_of(object, slot);
    for (LeafChunk* c : *leaf_chunks.all)
        if (c == chunk)
            return slot >= kLeafHeaderSlots && (chunk->in_use[slot >> 6] >> (slot & 63) & 1) &&
                   leaf_address(chunk, slot) == object;
    return false;
}

// A leaf deleted by hand (its owner's choice, as for any value): the slot is free at once.
void release_leaf(Collectable* object) {
    size_t slot;
    LeafChunk* chunk = leaf_chunk_of(object, slot);
    const uint64_t bit = uint64_t{1} << (slot & 63);
    leaf_chunks.released = object;
    if (!(chunk->in_use[slot >> 6] & bit)) return;  // freed already
    chunk->in_use[slot >> 6] &= ~bit;
    chunk->marked[slot >> 6] &= ~bit;
    chunk->pinned[slot >> 6] &= ~bit;
    --leaf_cursor.live;
}

void mark_leaf(const Collectable* object) {
    size_t slot;
    LeafChunk* chunk = leaf_chunk_of(object, slot);
    chunk->marked[slot >> 6] |= uint64_t{1} << (slot & 63);
}

void pin_leaf(const Collectable* object) {
    size_t slot;
    LeafChunk* chunk = leaf_chunk_of(object, slot);
    chunk->pinned[slot >> 6] |= uint64_t{1} << (slot & 63);
}
}  // namespace

// Next fit: a freed slot is used again only once the cursor has passed every other one,
// which also gives the sanitizers time to see a freed number used.
uint64_t heap_detail::leaf_refill() {
    LeafChunks& p = leaf_chunks;
    if (!p.all) p.all = new std::vector<LeafChunk*>;
    auto& chunks = *p.all;
    // While the registry is swept, each leaf made is marked, so the sweep of leaves after it
    // keeps it; handing out one slot at a time brings every such leaf here.
    const bool sweeping = registry().sweeping;
    for (size_t step = 0, words = chunks.size() * kLeafWords; step < words; ++step) {
        if (uint64_t free_bits = ~chunks[p.current]->in_use[p.word]) {
            point_cursor(chunks[p.current], p.word);
            if (!sweeping) return free_bits;
            free_bits &= ~(free_bits - 1);
            chunks[p.current]->marked[p.word] |= free_bits;
            return free_bits;
        }
        if (++p.word == kLeafWords) {
            p.word = 0;
            p.current = (p.current + 1) % chunks.size();
        }
    }
    chunks.push_back(new_leaf_chunk());
    p.current = chunks.size() - 1;
    p.word = 0;
    return heap_detail::leaf_refill();
}

namespace {
// An object an open alloc frame holds is being freed (deleted by its owner): the frame
// lets go of it, so marking never reaches freed memory.
void forget_in_frames(Collectable* object) {
    object->gc_flags &= ~GC_IN_ALLOC_FRAME;
    for (ThreadFrames* frames : all_thread_frames())
        for (auto& frame : frames->alloc_frames)
            for (size_t i = frame.size(); i-- > 0;)
                if (frame[i] == object) {
                    frame[i] = frame.back();
                    frame.pop_back();
                    return;
                }
}

// Where blocks come from. Release builds keep freed small blocks in lists by size, so
// the short-lived numbers and points a script makes cost a pop and a push; test and
// sanitizer builds take every block from the allocator, so a use after free is caught.
#if defined(VANTREL_POISON_FREED) || defined(__SANITIZE_ADDRESS__)
#define VANTREL_PLAIN_BLOCKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTREL_PLAIN_BLOCKS 1
#endif
#endif

#if defined(VANTREL_PLAIN_BLOCKS)
void* raw_block(size_t size) { return ::operator new(size); }
void free_raw_block(void* p, size_t) { ::operator delete(p); }
#else
constexpr size_t kGranule = 16;
constexpr size_t kPooledMax = 256;
constexpr size_t kChunkBytes = 64 * 1024;
struct FreeBlock {
    FreeBlock* next;
};
FreeBlock* free_blocks[kPooledMax / kGranule];
char* chunk_next = nullptr;
char* chunk_end = nullptr;

size_t size_class(size_t size) { return (size + kGranule - 1) / kGranule - 1; }

void* raw_block(size_t size) {
    if (size == 0 || size > kPooledMax) return ::operator new(size);
    const size_t c = size_class(size);
    if (FreeBlock* b = free_blocks[c]) {
        free_blocks[c] = b->next;
        return b;
    }
    const size_t bytes = (c + 1) * kGranule;
    if (static_cast<size_t>(chunk_end - chunk_next) < bytes) {
        // What is left of the old chunk goes into its lists rather than to waste.
        // Chunks are never given back: the heap keeps the size it reached.
        chunk_next = static_cast<char*>(::operator new(kChunkBytes));
        chunk_end = chunk_next + kChunkBytes;
    }
    void* p = chunk_next;
    chunk_next += bytes;
    return p;
}

void free_raw_block(void* p, size_t size) {
    if (size == 0 || size > kPooledMax) {
        ::operator delete(p);
        return;
    }
    auto* b = static_cast<FreeBlock*>(p);
    const size_t c = size_class(size);
    b->next = free_blocks[c];
    free_blocks[c] = b;
}
#endif

void* allocate_block(size_t size) {
    void* p = raw_block(size);
    thread_heap().pending.push_back({static_cast<char*>(p), size});
    return p;
}

// The size of a pending block (0 when p is none), which forgets it.
size_t forget_pending(void* p) {
    auto& blocks = thread_heap().pending;
    if (blocks.empty()) return 0;
    for (size_t i = blocks.size(); i-- > 0;) {
        if (blocks[i].start == p) {
            size_t size = blocks[i].size;
            blocks.erase(blocks.begin() + i);
            return size;
        }
    }
    return 0;
}

bool claim_pending(std::vector<PendingBlock>& blocks, const void* object) {
    const char* c = static_cast<const char*>(object);
    for (size_t i = blocks.size(); i-- > 0;) {
        if (c >= blocks[i].start && c < blocks[i].start + blocks[i].size) {
            blocks.erase(blocks.begin() + i);
            return true;
        }
    }
    return false;
}

// Permanent objects, found by gc() while it clears the marks. A copy: tracing must not
// see the registry change under it.
std::vector<Collectable*>& permanent_objects() {
    static auto* list = new std::vector<Collectable*>;
    return *list;
}

void mark_roots() {
    Registry& r = registry();
    for (Collectable* object : permanent_objects())
        if (!object->is_marked()) object->gc_trace();

    for (Value** slot : r.root_slots)
        if (slot) heap_detail::trace(*slot);

    for (gc_root_marker marker : r.root_markers) marker();

    for (ThreadFrames* frames : all_thread_frames()) {
        for (auto& frame : frames->alloc_frames)
            for (Collectable* object : frame) heap_detail::trace(static_cast<Value*>(object));
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

// Class names kept for the messages about freed values: one copy of each, never freed,
// so a freed value can point at its name however long it stays in quarantine.
const char* kept_class_name(const char* name) {
    static auto* names = new std::unordered_set<std::string>;
    return names->insert(name).first->c_str();
}

// The class of the value whose destructor ran last on this thread, until its block is
// freed. Plain data: static values are destroyed at exit, after the thread's own objects.
struct FreedNote {
    const void* object;
    const char* className;
    const ValueMetaClass* tag;  // whose name className is, to skip the lookup next time
    const char* tagName;
};
thread_local FreedNote last_freed{};

constexpr unsigned char kPoison = 0xDD;
constexpr size_t kQuarantineBytes = 64u << 20;

struct Quarantined {
    void* block;
    size_t size;
    const void* named;  // a freed value whose name is in classOf, or null
};

struct Quarantine {
    std::deque<Quarantined> blocks;
    size_t bytes = 0;
    // Names of freed values too small to hold their own, by address.
    std::unordered_map<const void*, const char*> classOf;
};

Quarantine& quarantine() {
    static auto* q = new Quarantine;  // leaked like the registry
    return *q;
}

[[noreturn]] void report_freed(const char* className, const char* how) {
    const std::string name = className ? className : "value of unknown class";
    const std::string message = std::string("Use after free: a freed ") + name + " value was " + how;
    freed_use_handler()(message.c_str());
    abort_on_freed_use(message.c_str());  // a handler must not return
}

// What a freed value's memory holds while in quarantine: every virtual reports the use.
class FreedValue : public Value {
public:
    virtual const char* freedClassName() const {
        auto& names = quarantine().classOf;
        auto at = names.find(this);
        return at == names.end() ? nullptr : at->second;
    }
    [[noreturn]] void touched(const char* how) const { report_freed(freedClassName(), how); }
    void sprin1(CharStream*) override { touched("printed"); }
    void sprint(CharStream*) override { touched("printed"); }
    BOOL is_kind_of(ValueMetaClass*) override { touched("asked its class"); }
    Value* classOf_vf(Value**, int) override { touched("asked its class"); }
    Value* superClassOf_vf(Value**, int) override { touched("asked its class"); }
    Value* isKindOf_vf(Value**, int) override { touched("asked its class"); }
    Value* get_property(Value**, int) override { touched("read"); }
    Value* set_property(Value**, int) override { touched("written"); }
    Value* apply(Value**, int) override { touched("called"); }
    int to_int() override { touched("converted"); }
    float to_float() override { touched("converted"); }
    const char* to_string() override { touched("converted"); }
    BOOL to_bool() override { touched("converted"); }
    Point2 to_point2() override { touched("converted"); }
    COLORREF to_colorref() override { touched("converted"); }
    INode* to_node() override { touched("converted"); }
    MtlBase* to_mtlbase() override { touched("converted"); }
    Control* to_controller() override { touched("converted"); }
    void gc_trace() override { touched("marked"); }
    void collect() override { touched("collected"); }
    ~FreedValue() override { touched("freed again"); }
};

// The same, in a block with room for its own name (most are), so freeing one costs no lookup.
class NamedFreedValue : public FreedValue {
public:
    explicit NamedFreedValue(const char* name) : className(name) {}
    const char* freedClassName() const override { return className; }

private:
    const char* className;
};

// Keeps the block, poisoned, with a FreedValue where the value was. The oldest blocks
// go back to the allocator once the quarantine is full.
void poison(void* block, size_t size) {
    Quarantine& q = quarantine();
    const char* start = static_cast<const char*>(block);
    const char* object = static_cast<const char*>(last_freed.object);
    const char* named = nullptr;
    std::memset(block, kPoison, size);
    if (object && object >= start && object + sizeof(NamedFreedValue) <= start + size) {
        ::new (const_cast<char*>(object)) NamedFreedValue(last_freed.className);  // not registered: its block is not pending
    } else if (object && object >= start && object + sizeof(FreedValue) <= start + size) {
        ::new (const_cast<char*>(object)) FreedValue;
        q.classOf[object] = last_freed.className;
        named = object;
    }
    last_freed.object = nullptr;
    q.blocks.push_back({block, size, named});
    q.bytes += size;
    while (q.bytes > kQuarantineBytes && !q.blocks.empty()) {
        const Quarantined old = q.blocks.front();
        q.blocks.pop_front();
        q.bytes -= old.size;
        if (old.named) q.classOf.erase(old.named);
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
    if (object->gc_slot == Collectable::kNotInHeap) return;
    last_freed.object = object;
    const char* name = tag ? tag->name : "Value";
    if (tag != last_freed.tag || name != last_freed.tagName) {
        last_freed.className = kept_class_name(name);
        last_freed.tag = tag;
        last_freed.tagName = name;
    }
#else
    (void)object, (void)tag;
#endif
}

Collectable::~Collectable() {
    if (gc_slot == kNotInHeap) return;
    if (gc_flags & GC_IN_ALLOC_FRAME) forget_in_frames(this);
    if (gc_slot == kInLeafPool) release_leaf(this);
    else remove_object(registry(), this);
}

void* Collectable::operator new(size_t size) {
    return allocate_block(size);
}

void* Collectable::operator new(size_t size, GCHeapTag) {
    return allocate_block(size);
}

void Collectable::operator delete(void* p, size_t size) {
    if (p && p == leaf_chunks.released) {  // the pool has its slot back already
        leaf_chunks.released = nullptr;
        poison_leaf(p);
        return;
    }
    // The destructor has already unregistered the object; only a block whose
    // construction never reached Collectable can still be pending.
    forget_pending(p);
#if defined(VANTREL_POISON_FREED)
    if (p) {
        poison(p, size);
        return;
    }
#endif
    free_raw_block(p, size);
}

void Collectable::operator delete(void* p, GCHeapTag) {
    size_t size = forget_pending(p);
    free_raw_block(p, size);
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
    if (gc_slot == kInLeafPool) {  // the sweep clears it again: no list to join
        mark_leaf(this);
        return;
    }
    Registry& r = registry();
    if (r.marking) r.marked.push_back(this);
}

// Registration happens here rather than in operator new so that the object's own
// address is used, whatever the offset of Collectable inside it.
namespace heap_detail {
void register_if_heap(Collectable* object) {
    if (!claim_pending(thread_heap().pending, object)) return;
    add_object(registry(), object);
    if (open_alloc_frames) join_alloc_frame(object);
}
}  // namespace heap_detail

void Collectable::make_permanent() {
    gc_flags |= GC_PERMANENT;
    if (gc_slot == kInLeafPool) pin_leaf(this);  // the registry's list of them never sees it
}

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

    auto& permanent = permanent_objects();
    permanent.clear();
    for (Collectable* object : r.objects) {
        object->gc_flags &= ~GC_MARKED;
        if (object->gc_flags & GC_PERMANENT) permanent.push_back(object);
    }
    r.marked.clear();
    r.marking = true;
    Collectable::mark();
    r.marking = false;
    permanent.clear();

    // From the back, so that an object leaving the list (swapped with the last one)
    // only ever moves one already looked at. One collect() may free others or make
    // new ones (they join at the end, past the sweep); marks stay until the sweep is done.
    auto& objects = r.objects;
    r.sweeping = true;
    leaf_cursor.free_bits = 0;  // leaves made by a collect() come one at a time, marked
    for (size_t i = objects.size(); i-- > 0;) {
        if (i >= objects.size()) continue;
        Collectable* object = objects[i];
        if (object->gc_flags & GC_MARKED) continue;
        r.sweep_current = object;
        object->collect();
        if (r.sweep_current) {  // it outlived its collect(): once per sweep is enough
            object->gc_flags |= GC_MARKED;
            r.marked.push_back(object);
            r.sweep_current = nullptr;
        }
    }
    r.sweeping = false;
    // After every collect(): they may still read the dead leaves they held, or free them.
    sweep_leaves();

    // Unregistered (static) objects were marked too; clear every mark now so the
    // next cycle traces through them again.
    for (Collectable* object : r.marked) object->gc_flags &= ~GC_MARKED;
    r.marked.clear();
    r.collecting = false;
}

size_t gc_live_count() {
    return heap_detail::live_count();
}

bool gc_is_live(const void* p) {
    for (Collectable* object : registry().objects)
        if (object == p) return true;
    return leaf_is_live(p);
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
    ++heap_detail::open_alloc_frames;
}

void pop_alloc_frame() {
    auto& frames = thread_frames().alloc_frames;
    if (frames.empty()) return;
    for (Collectable* object : frames.back()) object->gc_flags &= ~GC_IN_ALLOC_FRAME;
    frames.pop_back();
    --heap_detail::open_alloc_frames;
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

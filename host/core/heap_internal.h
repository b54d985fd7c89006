// heap_internal.h - the heap's fast paths for the host's own code: numbers made without the
// registry (the host's Integer and Float values) and the live count.
#pragma once
#include <cstddef>
#include <cstdint>
#include <new>

#include "host/core/heap.h"

#if defined(__SANITIZE_ADDRESS__)
#define VANTREL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTREL_ASAN 1
#endif
#endif
#if defined(VANTREL_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace heap_detail {
// The leaf pool: fixed-size slots in aligned chunks with a bit per slot for in use and one
// for marked, so making a number is a bit scan and sweeping the dead ones is word arithmetic.
// Only for values of at most kLeafBytes that hold no other value and whose destructor does
// nothing: the sweep frees them without running it.
constexpr size_t kLeafBytes = 32;

// Where the next blocks come from: one word of a chunk's in-use bits.
struct LeafCursor {
    uint64_t* in_use;    // the word
    char* base;          // the block of its first bit
    uint64_t free_bits;  // its free slots when it was last read
    size_t live;         // slots in use in the whole pool, garbage included until a sweep
};
extern LeafCursor leaf_cursor;
// Points the cursor at a word with a free slot (a new chunk when there is none) and answers
// its free bits.
uint64_t leaf_refill();

// Objects in the registry; with the pool's, what gc_live_count() answers.
extern size_t registered_objects;
inline size_t live_count() { return registered_objects + leaf_cursor.live; }

// Alloc frames open on any thread; a new value joins the innermost of its thread's.
extern size_t open_alloc_frames;
void join_alloc_frame(Collectable* object);

inline void* leaf_block() {
    LeafCursor& c = leaf_cursor;
    uint64_t free_bits = c.free_bits;
    if (!free_bits) free_bits = leaf_refill();
    const unsigned bit = static_cast<unsigned>(__builtin_ctzll(free_bits));
    c.free_bits = free_bits & (free_bits - 1);
    *c.in_use |= uint64_t{1} << bit;
    ++c.live;
    char* block = c.base + bit * kLeafBytes;
#if defined(VANTREL_ASAN)
    ASAN_UNPOISON_MEMORY_REGION(block, kLeafBytes);
#endif
    return block;
}

// A new T(args) in the leaf pool. Builds that poison freed values take the registry's path,
// where a freed number keeps its class name for the message.
template <class T, class... Args>
T* new_leaf(Args... args) {
    static_assert(sizeof(T) <= kLeafBytes, "a leaf value must fit a leaf block");
#if defined(VANTREL_POISON_FREED)
    return new T(args...);
#else
    T* v = ::new (leaf_block()) T(args..., LeafTag{});
    if (open_alloc_frames) join_alloc_frame(v);
    return v;
#endif
}
}  // namespace heap_detail

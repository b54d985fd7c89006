// numbers.h - the engine's numbers: shared small integers, the others from the heap's leaf pool.
#pragma once
#include "host/core/heap_internal.h"
#include "host/core/value.h"

// Small integers are shared and permanent: arithmetic on them allocates nothing. They are
// made a block at a time, outside the collected heap (like the host's static values), so
// neither arithmetic on them nor a collection ever touches the heap for them.
namespace small_ints {
constexpr int kMin = -1024;
constexpr int kMax = 16383;
constexpr unsigned kCount = static_cast<unsigned>(kMax - kMin + 1);
constexpr unsigned kBlockShift = 10;
extern unsigned char storage[];       // kCount Integers, kMin first
extern bool block_made[(kCount >> kBlockShift) + 1];
Value* make_block(unsigned k);        // makes the block of entry k; answers entry k
}  // namespace small_ints

inline Value* make_int(int v) {
    const unsigned k = static_cast<unsigned>(v) - static_cast<unsigned>(small_ints::kMin);
    if (k < small_ints::kCount) {
        if (small_ints::block_made[k >> small_ints::kBlockShift])
            return reinterpret_cast<Integer*>(small_ints::storage) + k;
        return small_ints::make_block(k);
    }
    return heap_detail::new_leaf<Integer>(v);
}
inline Value* make_float(float v) { return heap_detail::new_leaf<Float>(v); }

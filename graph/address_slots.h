// address_slots.h - where a record's address goes in an open-addressed table, for the
//   tables that find records by pointer (the spatial index, a container's save).
#pragma once
#include <cstddef>
#include <cstdint>

// A power of two at least twice expected, so that probes stay short.
inline size_t addressTableCapacity(size_t expected) {
    size_t capacity = 16;
    while (capacity < expected * 2) capacity *= 2;
    return capacity;
}

// The home slot of key in a table of mask + 1 slots. Records are at least 16 bytes
// apart; the multiply spreads the rest of the address over the slots.
inline size_t addressSlot(const void* key, size_t mask) {
    const uint64_t bits = uint64_t(reinterpret_cast<uintptr_t>(key)) >> 4;
    return size_t((bits * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

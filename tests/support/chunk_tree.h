// chunk_tree.h - an independent parse of a chunk file, so tests check the writer byte by byte.
#pragma once
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

struct ChunkNode {
    uint16_t id = 0;
    bool container = false;
    std::vector<uint8_t> payload;      // data chunks
    std::vector<ChunkNode> children;   // containers

    std::vector<uint16_t> ids() const {
        std::vector<uint16_t> out;
        for (const ChunkNode& c : children) out.push_back(c.id);
        return out;
    }
    const ChunkNode& child(uint16_t wanted) const {
        for (const ChunkNode& c : children)
            if (c.id == wanted) return c;
        throw std::runtime_error("no chunk " + std::to_string(wanted));
    }
    bool has(uint16_t wanted) const {
        for (const ChunkNode& c : children)
            if (c.id == wanted) return true;
        return false;
    }
    // The payload read as consecutive little-endian values of T.
    template <class T>
    std::vector<T> as() const {
        std::vector<T> out(payload.size() / sizeof(T));
        if (!out.empty()) std::memcpy(out.data(), payload.data(), out.size() * sizeof(T));
        return out;
    }
    std::string text() const { return std::string(payload.begin(), payload.end()); }
};

// Parses [p, p + n) strictly; a chunk that does not fit throws.
inline std::vector<ChunkNode> parseChunks(const uint8_t* p, size_t n) {
    std::vector<ChunkNode> out;
    size_t at = 0;
    while (at < n) {
        if (n - at < 6) throw std::runtime_error("truncated header");
        ChunkNode c;
        c.id = uint16_t(p[at] | (p[at + 1] << 8));
        uint32_t raw = uint32_t(p[at + 2]) | uint32_t(p[at + 3]) << 8 | uint32_t(p[at + 4]) << 16 |
                       uint32_t(p[at + 5]) << 24;
        c.container = raw & 0x80000000u;
        size_t length = raw & 0x7FFFFFFFu;
        if (length < 6 || length > n - at) throw std::runtime_error("chunk does not fit");
        if (c.container) c.children = parseChunks(p + at + 6, length - 6);
        else c.payload.assign(p + at + 6, p + at + length);
        out.push_back(std::move(c));
        at += length;
    }
    return out;
}

inline std::vector<ChunkNode> parseChunks(const std::vector<uint8_t>& bytes) {
    return parseChunks(bytes.data(), bytes.size());
}

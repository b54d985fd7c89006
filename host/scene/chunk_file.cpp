// chunk_file.cpp - writing and reading the chunk tree, every length checked against its parent.
#include "host/scene/chunk_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

std::string hex4(unsigned id) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", id & 0xFFFFu);
    return text;
}

void putU16(uint8_t* at, uint16_t v) {
    at[0] = uint8_t(v);
    at[1] = uint8_t(v >> 8);
}

void putU32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}

uint16_t getU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t getU32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

}  // namespace

ChunkWriter::ChunkWriter(RefIdLookup refIds) : refIds(std::move(refIds)) {}

ChunkWriter::~ChunkWriter() { std::free(buffer); }

// Bytes kept before a stream sends them: large enough for few system calls, small
// enough to stay in the processor's cache.
constexpr size_t kStreamBlock = size_t(1) << 19;

void ChunkWriter::makeRoom(size_t more) {
    if (stream && used > 0 && used + more > kStreamBlock) {
        sendBuffer();
        if (capacity - used >= more) return;
    }
    const size_t want = std::max({capacity * 2, used + more, stream ? kStreamBlock : size_t(65536)});
    void* moved = std::realloc(buffer, want);
    if (!moved) throw std::bad_alloc();
    buffer = static_cast<uint8_t*>(moved);
    capacity = want;
}

void ChunkWriter::sendBuffer() {
    if (!streamFailed && used > 0 && std::fwrite(buffer, 1, used, stream) != used) streamFailed = true;
    sent += used;
    used = 0;
}

void ChunkWriter::streamTo(std::FILE* file) { stream = file; }

bool ChunkWriter::finishStream() {
    if (!stream) return false;
    sendBuffer();
    for (const auto& [at, value] : latePatches) {
        uint8_t bytes[4];
        putU32(bytes, value);
        // Positions past 2 GiB cannot be sought with fseek's long; no chunk gets there.
        if (at > uint64_t(0x7FFFFFFF) || std::fseek(stream, long(at), SEEK_SET) != 0 ||
            std::fwrite(bytes, 1, sizeof bytes, stream) != sizeof bytes)
            streamFailed = true;
    }
    latePatches.clear();
    if (std::fseek(stream, 0, SEEK_END) != 0) streamFailed = true;
    return !streamFailed;
}

const std::vector<uint8_t>& ChunkWriter::bytes() const {
    copy.assign(buffer, buffer + used);
    return copy;
}

void ChunkWriter::fail(const std::string& what) {
    if (problem.empty()) problem = what;
}

void ChunkWriter::refuseBegin() { fail("chunk " + hex4(open.back().id) + " holds data and sub-chunks"); }

void ChunkWriter::BeginChunk(USHORT id) {
    if (!open.empty()) {
        Open& parent = open.back();
        if (parent.hasData) refuseBegin();
        parent.hasSubChunks = true;
    }
    if (capacity - used < kChunkHeaderSize) makeRoom(kChunkHeaderSize);
    open.push(Open{sent + used, id});
    putU16(buffer + used, id);
    used += kChunkHeaderSize;
}

void ChunkWriter::EndChunk() {
    if (open.empty()) return refuseEnd(nullptr);
    const Open& chunk = open.back();
    const uint64_t size = sent + used - chunk.headerAt;
    if (size >= kChunkContainerBit || chunk.headerAt < sent) return refuseEnd(&chunk);
    putU32(buffer + (chunk.headerAt - sent) + 2,
           uint32_t(size) | (chunk.hasSubChunks ? kChunkContainerBit : 0u));
    open.pop();
}

void ChunkWriter::refuseEnd(const Open* chunk) {
    if (!chunk) {
        fail("a chunk was ended that was never begun");
        return;
    }
    const Open ended = *chunk;
    open.pop();
    const uint64_t size = sent + used - ended.headerAt;
    if (size >= kChunkContainerBit) {
        fail("chunk " + hex4(ended.id) + " is larger than a chunk can be");
        return;
    }
    // The header went out to the file already: its length is written at the end.
    latePatches.emplace_back(ended.headerAt + 2,
                             uint32_t(size) | (ended.hasSubChunks ? kChunkContainerBit : 0u));
}

IOResult ChunkWriter::refuseWrite() {
    if (open.empty()) {
        fail("data written outside any chunk");
        return IO_ERROR;
    }
    if (open.back().hasSubChunks) {
        fail("chunk " + hex4(open.back().id) + " holds data and sub-chunks");
        return IO_ERROR;
    }
    return IO_ERROR;  // bytes promised from a null buffer
}

IOResult ChunkWriter::Write(const void* buf, ULONG nbytes, ULONG* nwritten) {
    if (nwritten) *nwritten = 0;
    if (open.empty() || open.back().hasSubChunks || (nbytes && !buf)) return refuseWrite();
    if (nbytes) {
        open.back().hasData = true;
        if (capacity - used < nbytes) makeRoom(nbytes);
        std::memcpy(buffer + used, buf, nbytes);
        used += nbytes;
    }
    if (nwritten) *nwritten = nbytes;
    return IO_OK;
}

IOResult ChunkWriter::WriteCString(const char* s) {
    if (!s) s = "";
    ULONG written = 0;
    const ULONG n = ULONG(std::strlen(s) + 1);
    return Write(s, n, &written);
}

int ChunkWriter::GetRefID(void* object) {
    if (!object || !refIds) return 0;
    return refIds(object);
}

ChunkReader::ChunkReader(const uint8_t* data, size_t size)
    : view(data), available(data ? size : 0), size(data ? size : 0) {}

ChunkReader::ChunkReader(std::FILE* file, size_t size, size_t windowSize)
    : view(nullptr), available(0), size(file ? size : 0), file(file),
      windowCapacity(std::max<size_t>(windowSize, kChunkHeaderSize)) {
    window.reset(new uint8_t[windowCapacity]);
    view = window.get();
}

bool ChunkReader::refill(size_t n) {
    if (!file || pos + n > size) return false;
    if (pos >= base + available) {
        // Skipped past the window: what lies between is read and dropped.
        size_t skip = pos - (base + available);
        while (skip > 0) {
            const size_t got = std::fread(window.get(), 1, std::min(skip, windowCapacity), file);
            if (got == 0) return false;
            skip -= got;
        }
        available = 0;
    } else {
        // The bytes not yet used move to the front.
        available -= pos - base;
        std::memmove(window.get(), window.get() + (pos - base), available);
    }
    base = pos;
    if (n > windowCapacity) {
        // One datum larger than the window; the chunk lengths already bound it by the file.
        std::unique_ptr<uint8_t[]> wider(new uint8_t[n]);
        std::memcpy(wider.get(), window.get(), available);
        window = std::move(wider);
        windowCapacity = n;
    }
    view = window.get();
    while (available < n) {
        const size_t want = std::min(windowCapacity, size - base) - available;
        const size_t got = std::fread(window.get() + available, 1, want, file);
        if (got == 0) return false;
        available += got;
    }
    return true;
}

ChunkReader::~ChunkReader() = default;

IOResult ChunkReader::fail(const std::string& what) {
    if (problem.empty()) problem = what;
    return IO_ERROR;
}

IOResult ChunkReader::refuseOpen() {
    const size_t levelEnd = open.empty() ? size : open.back().end;
    if (!open.empty() && !open.back().container)
        return fail("chunk " + hex4(open.back().id) + " holds data, not sub-chunks");
    if (levelEnd - pos < kChunkHeaderSize) return fail("truncated chunk header at byte " + std::to_string(pos));
    if (!have(kChunkHeaderSize)) return unreadable();
    return fail("chunk " + hex4(getU16(at(pos))) + " at byte " + std::to_string(pos) +
                " does not fit inside its parent");
}

IOResult ChunkReader::OpenChunk() {
    if (!problem.empty()) return IO_ERROR;
    size_t levelEnd = size;
    if (!open.empty()) {
        const Open& parent = open.back();
        // Data chunks have no sub-chunks; an empty one reads as an empty level.
        if (!parent.container) return parent.start == parent.end ? IO_END : refuseOpen();
        levelEnd = parent.end;
    }
    if (pos == levelEnd) return IO_END;
    if (levelEnd - pos >= kChunkHeaderSize && have(kChunkHeaderSize)) {
        const uint32_t raw = getU32(at(pos) + 2);
        const size_t length = raw & ~kChunkContainerBit;
        if (length >= kChunkHeaderSize && length <= levelEnd - pos) {
            open.push(Open{getU16(at(pos)), pos + kChunkHeaderSize, pos + length,
                           (raw & kChunkContainerBit) != 0});
            pos += kChunkHeaderSize;
            return IO_OK;
        }
    }
    return refuseOpen();
}

USHORT ChunkReader::CurChunkID() { return open.empty() ? 0 : open.back().id; }

ULONGLONG ChunkReader::CurChunkLength() {
    return open.empty() ? 0 : ULONGLONG(open.back().end - open.back().start);
}

IOResult ChunkReader::refuseRead(ULONG nbytes) {
    if (!problem.empty()) return IO_ERROR;
    if (open.empty()) return fail("data read outside any chunk");
    const Open& chunk = open.back();
    if (chunk.container) return fail("chunk " + hex4(chunk.id) + " holds sub-chunks, not data");
    return fail("chunk " + hex4(chunk.id) + " ends before its data (wanted " + std::to_string(nbytes) +
                " bytes, " + std::to_string(chunk.end - pos) + " left)");
}

IOResult ChunkReader::unreadable() {
    return fail("the file cannot be read past byte " + std::to_string(base + available));
}

IOResult ChunkReader::refuseString() {
    if (!problem.empty()) return IO_ERROR;
    if (open.empty()) return fail("string read outside any chunk");
    return fail("chunk " + hex4(open.back().id) + " holds sub-chunks, not a string");
}

IOResult ChunkReader::Read(void* buf, ULONG nbytes, ULONG* nread) {
    if (nread) *nread = 0;
    // A short read copies nothing: the caller's value stays as it was.
    if (!problem.empty() || open.empty() || open.back().container || nbytes > open.back().end - pos)
        return refuseRead(nbytes);
    if (!have(nbytes)) return unreadable();
    if (nbytes && buf) std::memcpy(buf, at(pos), nbytes);
    pos += nbytes;
    if (nread) *nread = nbytes;
    return IO_OK;
}

IOResult ChunkReader::ReadCStringChunk(char** s) {
    if (s) *s = nullptr;
    if (!problem.empty() || open.empty() || open.back().container) return refuseString();
    const Open& chunk = open.back();
    // The chunk's size bounds the string; a missing terminator is tolerated.
    const size_t left = chunk.end - pos;
    if (!have(left)) return unreadable();
    const char* begin = reinterpret_cast<const char*>(at(pos));
    const void* zero = std::memchr(begin, 0, left);
    const size_t length = zero ? size_t(static_cast<const char*>(zero) - begin) : left;
    char* kept = keepString(begin, length);
    pos = chunk.end;
    if (s) *s = kept;
    return IO_OK;
}

char* ChunkReader::keepString(const char* text, size_t length) {
    constexpr size_t kBlock = 65536;
    const size_t need = length + 1;
    char* at;
    if (need > kBlock / 4) {
        // A long string gets a block of its own, so no block is left mostly unused.
        stringBlocks.push_back(std::unique_ptr<char[]>(new char[need]));
        at = stringBlocks.back().get();
    } else {
        if (blockLeft < need) {
            stringBlocks.push_back(std::unique_ptr<char[]>(new char[kBlock]));
            blockNext = stringBlocks.back().get();
            blockLeft = kBlock;
        }
        at = blockNext;
        blockNext += need;
        blockLeft -= need;
    }
    if (length) std::memcpy(at, text, length);
    at[length] = '\0';
    return at;
}

IOResult ChunkReader::CloseChunk() {
    if (open.empty()) return fail("a chunk was closed that was never opened");
    pos = open.back().end;
    open.pop();
    return problem.empty() ? IO_OK : IO_ERROR;
}

void ChunkReader::RecordBackpatch(int imaker, void** patchThis, DWORD flags) {
    if (patchThis) patches.push_back(Backpatch{imaker, patchThis, flags});
}

void ChunkReader::RegisterPostLoadCallback(PostLoadCallback* cb) {
    if (cb) postLoad.push_back(cb);
}

void ChunkReader::runPostLoadCallbacks() {
    // A callback may register another; each runs once.
    for (size_t i = 0; i < postLoad.size(); ++i) postLoad[i]->proc(this);
    postLoad.clear();
}

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

// n bytes, one to two words of Word, as two words that may overlap.
template <class Word>
inline void copyHeadAndTail(uint8_t* to, const uint8_t* from, size_t n) {
    Word head, tail;
    std::memcpy(&head, from, sizeof head);
    std::memcpy(&tail, from + n - sizeof tail, sizeof tail);
    std::memcpy(to, &head, sizeof head);
    std::memcpy(to + n - sizeof tail, &tail, sizeof tail);
}

// Bytes copied a datum at a time: most are a few bytes, where a call to memcpy would
// cost more than the copy. Exactly n bytes are read and written.
inline void copyBytes(uint8_t* to, const uint8_t* from, size_t n) {
    if (n > 16) {
        std::memcpy(to, from, n);
    } else if (n >= 8) {
        copyHeadAndTail<uint64_t>(to, from, n);
    } else if (n >= 4) {
        copyHeadAndTail<uint32_t>(to, from, n);
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
}

}  // namespace

ChunkWriter::ChunkWriter(RefIdLookup refIds) : open(Open{nullptr, 0, 0, kIsFile}), refIds(std::move(refIds)) {}

ChunkWriter::~ChunkWriter() { std::free(buffer); }

// Bytes kept before a stream sends them: large enough for few system calls, small
// enough to stay in the processor's cache.
constexpr size_t kStreamBlock = size_t(1) << 19;

void ChunkWriter::noteHeaderPositions() {
    for (Open& chunk : open)
        if (chunk.header) chunk.headerAt = sent + uint64_t(chunk.header - buffer);
}

void ChunkWriter::makeRoom(size_t more) {
    if (stream && cursor != buffer && used() + more > kStreamBlock) {
        sendBuffer();
        if (size_t(limit - cursor) >= more) return;
    }
    const size_t have = size_t(limit - buffer), filled = used();
    const size_t want = std::max({have * 2, filled + more, stream ? kStreamBlock : size_t(65536)});
    noteHeaderPositions();
    void* moved = std::realloc(buffer, want);
    if (!moved) throw std::bad_alloc();
    buffer = static_cast<uint8_t*>(moved);
    cursor = buffer + filled;
    limit = buffer + want;
    for (Open& chunk : open)
        if (chunk.header) chunk.header = buffer + (chunk.headerAt - sent);
}

void ChunkWriter::sendBuffer() {
    // The open chunks' headers leave with the buffer: their lengths are patched at the end.
    noteHeaderPositions();
    for (Open& chunk : open) chunk.header = nullptr;
    const size_t n = used();
    if (!streamFailed && n > 0 && std::fwrite(buffer, 1, n, stream) != n) streamFailed = true;
    sent += n;
    cursor = buffer;
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
    copy.assign(buffer, cursor);
    return copy;
}

void ChunkWriter::fail(const std::string& what) {
    if (problem.empty()) problem = what;
}

void ChunkWriter::refuseBegin() { fail("chunk " + hex4(open.current().id) + " holds data and sub-chunks"); }

// The chunk calls come several million times for a large scene: each has a short path
// that calls nothing (so it saves no registers) and hands anything else to a slow one.
void ChunkWriter::BeginChunk(USHORT id) {
    Open& parent = open.current();
    if ((parent.holds & kHoldsData) || size_t(limit - cursor) < kChunkHeaderSize || open.full())
        return beginSlowly(id);
    parent.holds |= kHoldsChunks;
    Open& chunk = open.pushInRoom();
    chunk.header = cursor;
    chunk.id = id;
    chunk.holds = 0;
    putU16(cursor, id);
    cursor += kChunkHeaderSize;
}

void ChunkWriter::beginSlowly(USHORT id) {
    Open& parent = open.current();
    if (parent.holds & kHoldsData) refuseBegin();
    parent.holds |= kHoldsChunks;
    if (size_t(limit - cursor) < kChunkHeaderSize) makeRoom(kChunkHeaderSize);
    Open& chunk = open.push();
    chunk.header = cursor;
    chunk.id = id;
    chunk.holds = 0;
    putU16(cursor, id);
    cursor += kChunkHeaderSize;
}

void ChunkWriter::EndChunk() {
    const Open& chunk = open.current();
    uint8_t* header = chunk.header;
    // The root has no header: an end without a begin goes the slow way too.
    if (!header || size_t(cursor - header) >= kChunkContainerBit) return refuseEnd();
    putU32(header + 2, uint32_t(cursor - header) | (chunk.holds & kHoldsChunks ? kChunkContainerBit : 0u));
    open.pop();
}

void ChunkWriter::refuseEnd() {
    if (open.atRoot()) {
        fail("a chunk was ended that was never begun");
        return;
    }
    const Open ended = open.current();
    open.pop();
    const uint64_t end = sent + used();
    const uint64_t size = ended.header ? uint64_t(cursor - ended.header) : end - ended.headerAt;
    if (size >= kChunkContainerBit) {
        fail("chunk " + hex4(ended.id) + " is larger than a chunk can be");
        return;
    }
    // The header went out to the file already: its length is written at the end.
    latePatches.emplace_back(ended.headerAt + 2,
                             uint32_t(size) | (ended.holds & kHoldsChunks ? kChunkContainerBit : 0u));
}

IOResult ChunkWriter::refuseWrite() {
    const Open& chunk = open.current();
    if (chunk.holds & kIsFile) {
        fail("data written outside any chunk");
        return IO_ERROR;
    }
    if (chunk.holds & kHoldsChunks) {
        fail("chunk " + hex4(chunk.id) + " holds data and sub-chunks");
        return IO_ERROR;
    }
    return IO_ERROR;  // bytes promised from a null buffer
}

IOResult ChunkWriter::Write(const void* buf, ULONG nbytes, ULONG* nwritten) {
    Open& chunk = open.current();
    if ((chunk.holds & (kHoldsChunks | kIsFile)) || !buf || nbytes - 1 >= 16 || size_t(limit - cursor) < nbytes)
        return writeSlowly(buf, nbytes, nwritten);
    chunk.holds |= kHoldsData;
    copyBytes(cursor, static_cast<const uint8_t*>(buf), nbytes);
    cursor += nbytes;
    if (nwritten) *nwritten = nbytes;
    return IO_OK;
}

IOResult ChunkWriter::writeSlowly(const void* buf, ULONG nbytes, ULONG* nwritten) {
    if (nwritten) *nwritten = 0;
    Open& chunk = open.current();
    if ((chunk.holds & (kHoldsChunks | kIsFile)) || (nbytes && !buf)) return refuseWrite();
    if (nbytes) {
        chunk.holds |= kHoldsData;
        if (size_t(limit - cursor) < nbytes) makeRoom(nbytes);
        std::memcpy(cursor, buf, nbytes);
        cursor += nbytes;
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
    : view(data), windowEnd(data ? size : 0), size(data ? size : 0), open(Open{this->size, this->size, 0, true}) {}

ChunkReader::ChunkReader(std::FILE* file, size_t size, size_t windowSize)
    : view(nullptr), windowEnd(0), size(file ? size : 0), file(file),
      windowCapacity(std::max<size_t>(windowSize, kChunkHeaderSize)), open(Open{this->size, this->size, 0, true}) {
    window.reset(new uint8_t[windowCapacity]);
    view = window.get();
}

bool ChunkReader::refill(size_t n) {
    if (!file || pos + n > size) return false;
    size_t available;
    if (pos >= windowEnd) {
        // Skipped past the window: what lies between is read and dropped.
        size_t skip = pos - windowEnd;
        while (skip > 0) {
            const size_t got = std::fread(window.get(), 1, std::min(skip, windowCapacity), file);
            if (got == 0) return false;
            skip -= got;
        }
        available = 0;
    } else {
        // The bytes not yet used move to the front.
        available = windowEnd - pos;
        std::memmove(window.get(), window.get() + (pos - base), available);
    }
    base = pos;
    windowEnd = base + available;
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
        windowEnd = base + available;
    }
    return true;
}

ChunkReader::~ChunkReader() = default;

IOResult ChunkReader::fail(const std::string& what) {
    if (problem.empty()) problem = what;
    broken = true;
    return IO_ERROR;
}

IOResult ChunkReader::refuseOpen() {
    const Open& parent = open.current();
    if (!open.atRoot() && !parent.container)
        return fail("chunk " + hex4(parent.id) + " holds data, not sub-chunks");
    if (parent.end - pos < kChunkHeaderSize) return fail("truncated chunk header at byte " + std::to_string(pos));
    if (!have(kChunkHeaderSize)) return unreadable();
    return fail("chunk " + hex4(getU16(at(pos))) + " at byte " + std::to_string(pos) +
                " does not fit inside its parent");
}

IOResult ChunkReader::OpenChunk() {
    const Open& parent = open.current();
    const size_t levelEnd = parent.end;
    if (broken || !parent.container || levelEnd - pos < kChunkHeaderSize || pos + kChunkHeaderSize > windowEnd ||
        open.full())
        return openSlowly();
    const uint8_t* header = at(pos);
    const uint32_t raw = getU32(header + 2);
    const size_t length = raw & ~kChunkContainerBit;
    if (length < kChunkHeaderSize || length > levelEnd - pos) return refuseOpen();
    Open& chunk = open.pushInRoom();
    chunk.start = pos + kChunkHeaderSize;
    chunk.end = pos + length;
    chunk.id = getU16(header);
    chunk.container = (raw & kChunkContainerBit) != 0;
    pos += kChunkHeaderSize;
    return IO_OK;
}

IOResult ChunkReader::openSlowly() {
    const Open& parent = open.current();
    if (broken) return IO_ERROR;
    // Data chunks have no sub-chunks; an empty one reads as an empty level.
    if (!parent.container) return parent.start == parent.end ? IO_END : refuseOpen();
    const size_t levelEnd = parent.end;
    if (pos == levelEnd) return IO_END;
    if (levelEnd - pos >= kChunkHeaderSize && have(kChunkHeaderSize)) {
        const uint32_t raw = getU32(at(pos) + 2);
        const size_t length = raw & ~kChunkContainerBit;
        if (length >= kChunkHeaderSize && length <= levelEnd - pos) {
            const USHORT id = getU16(at(pos));
            Open& chunk = open.push();
            chunk.start = pos + kChunkHeaderSize;
            chunk.end = pos + length;
            chunk.id = id;
            chunk.container = (raw & kChunkContainerBit) != 0;
            pos += kChunkHeaderSize;
            return IO_OK;
        }
    }
    return refuseOpen();
}

USHORT ChunkReader::CurChunkID() { return open.current().id; }

ULONGLONG ChunkReader::CurChunkLength() {
    // The root's bounds are both the file's end: it reads as length 0.
    return ULONGLONG(open.current().end - open.current().start);
}

IOResult ChunkReader::refuseRead(ULONG nbytes) {
    if (broken) return IO_ERROR;
    if (open.atRoot()) return fail("data read outside any chunk");
    const Open& chunk = open.current();
    if (chunk.container) return fail("chunk " + hex4(chunk.id) + " holds sub-chunks, not data");
    return fail("chunk " + hex4(chunk.id) + " ends before its data (wanted " + std::to_string(nbytes) +
                " bytes, " + std::to_string(chunk.end - pos) + " left)");
}

IOResult ChunkReader::unreadable() {
    return fail("the file cannot be read past byte " + std::to_string(windowEnd));
}

IOResult ChunkReader::refuseString() {
    if (broken) return IO_ERROR;
    if (open.atRoot()) return fail("string read outside any chunk");
    return fail("chunk " + hex4(open.current().id) + " holds sub-chunks, not a string");
}

IOResult ChunkReader::Read(void* buf, ULONG nbytes, ULONG* nread) {
    const Open& chunk = open.current();
    // The root counts as a chunk of sub-chunks.
    if (broken || chunk.container || !buf || nbytes - 1 >= 16 || nbytes > chunk.end - pos ||
        pos + nbytes > windowEnd)
        return readSlowly(buf, nbytes, nread);
    copyBytes(static_cast<uint8_t*>(buf), at(pos), nbytes);
    pos += nbytes;
    if (nread) *nread = nbytes;
    return IO_OK;
}

IOResult ChunkReader::readSlowly(void* buf, ULONG nbytes, ULONG* nread) {
    if (nread) *nread = 0;
    const Open& chunk = open.current();
    // A short read copies nothing: the caller's value stays as it was.
    if (broken || chunk.container || nbytes > chunk.end - pos) return refuseRead(nbytes);
    if (!have(nbytes)) return unreadable();
    if (buf && nbytes) std::memcpy(buf, at(pos), nbytes);
    pos += nbytes;
    if (nread) *nread = nbytes;
    return IO_OK;
}

IOResult ChunkReader::ReadCStringChunk(char** s) {
    // Most strings of a scene are short: scanned and kept here, without a library call.
    const Open& chunk = open.current();
    const size_t left = chunk.end - pos;
    if (broken || chunk.container || left > 16 || pos + left > windowEnd || blockLeft <= left)
        return readStringSlowly(s);
    const uint8_t* begin = at(pos);
    size_t length = 0;
    while (length < left && begin[length]) ++length;
    char* kept = blockNext;
    copyBytes(reinterpret_cast<uint8_t*>(kept), begin, length);
    kept[length] = '\0';
    blockNext += length + 1;
    blockLeft -= length + 1;
    pos = chunk.end;
    if (s) *s = kept;
    return IO_OK;
}

IOResult ChunkReader::readStringSlowly(char** s) {
    if (s) *s = nullptr;
    const Open& chunk = open.current();
    if (broken || chunk.container) return refuseString();
    // The chunk's size bounds the string; a missing terminator is tolerated.
    const size_t left = chunk.end - pos;
    if (!have(left)) return unreadable();
    const char* begin = reinterpret_cast<const char*>(at(pos));
    const void* zero = left ? std::memchr(begin, 0, left) : nullptr;
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
    if (open.atRoot()) return closeAtRoot();
    pos = open.current().end;
    open.pop();
    return broken ? IO_ERROR : IO_OK;
}

IOResult ChunkReader::closeAtRoot() { return fail("a chunk was closed that was never opened"); }

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

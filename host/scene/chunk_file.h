// chunk_file.h - the chunk file in memory: a writer behind ISave and a reader behind ILoad.
//   On disk a chunk is uint16 id, uint32 size (little-endian, header included,
//   bit 31 set on a chunk of sub-chunks), then the payload.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "host/scene/scene_io.h"

inline constexpr uint32_t kChunkHeaderSize = 6;
inline constexpr uint32_t kChunkContainerBit = 0x80000000u;

// The chunks open at the moment, innermost last. Touched several times per chunk, so its
// growth is kept out of line, away from the common path.
template <class T>
class ChunkStack {
public:
    bool empty() const { return count == 0; }
    size_t size() const { return count; }
    T& back() { return items[count - 1]; }
    const T& back() const { return items[count - 1]; }
    void push(const T& item) {
        if (count == items.size()) grow();
        items[count++] = item;
    }
    void pop() { --count; }

private:
    [[gnu::noinline]] void grow() { items.resize(items.size() * 2 + 8); }
    std::vector<T> items;
    size_t count = 0;
};

class HOSTSDK_API ChunkWriter final : public ISave {
public:
    using RefIdLookup = std::function<int(void*)>;
    explicit ChunkWriter(RefIdLookup refIds = {});
    ~ChunkWriter() override;
    ChunkWriter(const ChunkWriter&) = delete;
    ChunkWriter& operator=(const ChunkWriter&) = delete;

    void BeginChunk(USHORT id) override;
    void EndChunk() override;
    IOResult Write(const void* buf, ULONG nbytes, ULONG* nwritten) override;
    IOResult WriteCString(const char* s) override;
    int GetRefID(void* object) override;

    // Chunks begun and not yet ended.
    size_t depth() const { return open.size(); }
    // The first misuse (unbalanced chunks, data beside sub-chunks, oversize), or "".
    const std::string& failure() const { return problem; }
    bool failed() const { return !problem.empty(); }
    // The bytes written so far, in place: valid until the next write. Not for a stream.
    const uint8_t* data() const { return buffer; }
    size_t size() const { return used; }
    // A copy of the bytes written so far. Not for a stream.
    const std::vector<uint8_t>& bytes() const;

    // Sends the bytes to file, opened for writing and empty, in large blocks as they are
    // written, rather than keeping them all: a large scene then needs no buffer its size.
    // Call before writing anything.
    void streamTo(std::FILE* file);
    // Writes what is left and the lengths of chunks whose headers went out before they
    // ended; false when the file refused any of it.
    bool finishStream();

private:
    struct Open {
        uint64_t headerAt;  // from the start of the file
        USHORT id;
        bool hasSubChunks = false;
        bool hasData = false;
    };
    void fail(const std::string& what);
    // The rare paths, kept out of line so the common ones stay short.
    IOResult refuseWrite();
    void refuseBegin();
    // An end without a begin, an oversize chunk, or one whose header was streamed out.
    void refuseEnd(const Open* chunk);
    void makeRoom(size_t more);
    // A plain heap block grown with realloc, owned and freed here: large blocks then
    // move by remapping pages, not by copying them, and no byte is zeroed before it is written.
    uint8_t* buffer = nullptr;
    size_t used = 0, capacity = 0;
    // Streaming: the file, the bytes already sent to it (the buffer starts there), and
    // the lengths to write at the end, as file position and value.
    std::FILE* stream = nullptr;
    uint64_t sent = 0;
    bool streamFailed = false;
    std::vector<std::pair<uint64_t, uint32_t>> latePatches;
    void sendBuffer();
    mutable std::vector<uint8_t> copy;
    ChunkStack<Open> open;
    std::string problem;
    RefIdLookup refIds;
};

class HOSTSDK_API ChunkReader final : public ILoad {
public:
    // Reads data in place; the caller keeps it alive while the reader is used.
    ChunkReader(const uint8_t* data, size_t size);
    // Reads the first size bytes of file, open for reading at its start, a window of
    // about windowSize bytes at a time: a large scene needs no buffer its size. A file
    // that ends early is damage like any other.
    ChunkReader(std::FILE* file, size_t size, size_t windowSize = size_t(1) << 20);
    ~ChunkReader() override;
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    IOResult OpenChunk() override;
    USHORT CurChunkID() override;
    ULONGLONG CurChunkLength() override;
    IOResult Read(void* buf, ULONG nbytes, ULONG* nread) override;
    IOResult ReadCStringChunk(char** s) override;
    IOResult CloseChunk() override;
    void RecordBackpatch(int imaker, void** patchThis, DWORD flags = 0) override;
    void RegisterPostLoadCallback(PostLoadCallback* cb) override;
    // The loader calls this once every back-patch is filled in.
    void runPostLoadCallbacks();

    struct Backpatch {
        int refId;
        void** slot;
        DWORD flags;
    };
    const std::vector<Backpatch>& backpatches() const { return patches; }
    size_t depth() const { return open.size(); }
    // The first damage met (a header that does not fit, a short read), or "".
    const std::string& damage() const { return problem; }

private:
    struct Open {
        USHORT id;
        size_t start, end;  // payload bounds
        bool container;
    };
    IOResult fail(const std::string& what);
    // The reasons for refusing, worked out only when refusing.
    IOResult refuseOpen();
    IOResult refuseRead(ULONG nbytes);
    IOResult refuseString();
    IOResult unreadable();
    // Bytes [pos, pos + n) at hand, read from the file when they are not yet.
    bool have(size_t n) { return pos + n <= base + available || refill(n); }
    bool refill(size_t n);
    const uint8_t* at(size_t position) const { return view + (position - base); }
    // The bytes at hand, from file position base on: all the data, or the file's window.
    const uint8_t* view;
    size_t base = 0, available;
    size_t size;
    size_t pos = 0;
    std::FILE* file = nullptr;
    std::unique_ptr<uint8_t[]> window;
    size_t windowCapacity = 0;
    ChunkStack<Open> open;
    std::vector<Backpatch> patches;
    std::vector<PostLoadCallback*> postLoad;
    // Strings handed out by ReadCStringChunk, kept until the reader goes: copied
    // into large blocks rather than one allocation each.
    char* keepString(const char* text, size_t length);
    std::vector<std::unique_ptr<char[]>> stringBlocks;
    size_t blockLeft = 0;
    char* blockNext = nullptr;
    std::string problem;
};

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

// The chunks open at the moment, innermost at top, above a root entry that stands for the
// file itself: the chunk calls run several million times for a large scene, so the one open
// now is a pointer away and the root answers the "outside any chunk" cases without a test.
// Growth is kept out of line, away from the common path.
template <class T>
class ChunkStack {
public:
    explicit ChunkStack(const T& root) : items(16) {
        items[0] = root;
        top = items.data();
        last = top + items.size() - 1;
    }
    ChunkStack(const ChunkStack&) = delete;
    ChunkStack& operator=(const ChunkStack&) = delete;
    bool atRoot() const { return top == items.data(); }
    size_t depth() const { return size_t(top - items.data()); }
    T& root() { return items[0]; }
    T& current() { return *top; }
    const T& current() const { return *top; }
    // No room above the current entry: push() grows the stack first.
    bool full() const { return top == last; }
    // The entry above the current one, made current; the caller fills it in.
    T& push() {
        if (top == last) grow();
        return *++top;
    }
    // As push(), when full() is false.
    T& pushInRoom() { return *++top; }
    void pop() { --top; }
    // Every open chunk, outermost first, the root not counted.
    T* begin() { return items.data() + 1; }
    T* end() { return top + 1; }

private:
    [[gnu::noinline]] void grow() {
        const size_t at = depth();
        items.resize(items.size() * 2);
        top = items.data() + at;
        last = items.data() + items.size() - 1;
    }
    std::vector<T> items;
    T* top;
    T* last;
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
    size_t depth() const { return open.depth(); }
    // The first misuse (unbalanced chunks, data beside sub-chunks, oversize), or "".
    const std::string& failure() const { return problem; }
    bool failed() const { return !problem.empty(); }
    // The bytes written so far, in place: valid until the next write. Not for a stream.
    const uint8_t* data() const { return buffer; }
    size_t size() const { return used(); }
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
    // What an open chunk holds so far; the root entry is marked as the file itself.
    enum : uint8_t { kHoldsData = 1, kHoldsChunks = 2, kIsFile = 4 };
    struct Open {
        uint8_t* header = nullptr;  // in the buffer; null once the buffer went out to the stream
        uint64_t headerAt = 0;      // from the start of the file; kept up to date only when
                                    // the buffer moves or goes out
        USHORT id = 0;
        uint8_t holds = 0;
    };
    void fail(const std::string& what);
    // The rare paths, kept out of line so the common ones stay short.
    IOResult refuseWrite();
    void refuseBegin();
    // BeginChunk and Write when a check of the short path fails; never inlined, so the
    // short paths keep no registers for them.
    [[gnu::noinline]] void beginSlowly(USHORT id);
    [[gnu::noinline]] IOResult writeSlowly(const void* buf, ULONG nbytes, ULONG* nwritten);
    // An end without a begin, an oversize chunk, or one whose header was streamed out.
    [[gnu::noinline]] void refuseEnd();
    void makeRoom(size_t more);
    // Every open header's file position noted, before the buffer moves or goes out.
    void noteHeaderPositions();
    size_t used() const { return size_t(cursor - buffer); }
    // A plain heap block grown with realloc, owned and freed here: large blocks then
    // move by remapping pages, not by copying them, and no byte is zeroed before it is
    // written. The bytes written end at cursor; the block at limit.
    uint8_t* buffer = nullptr;
    uint8_t* cursor = nullptr;
    uint8_t* limit = nullptr;
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
    size_t depth() const { return open.depth(); }
    // The first damage met (a header that does not fit, a short read), or "".
    const std::string& damage() const { return problem; }

private:
    struct Open {
        size_t start = 0, end = 0;  // payload bounds
        USHORT id = 0;
        bool container = true;
    };
    IOResult fail(const std::string& what);
    // The reasons for refusing, worked out only when refusing.
    [[gnu::noinline]] IOResult refuseOpen();
    IOResult refuseRead(ULONG nbytes);
    IOResult refuseString();
    IOResult unreadable();
    // OpenChunk and Read when a check of the short path fails (the end of a level among
    // them): never inlined, as the writer's slow paths.
    [[gnu::noinline]] IOResult openSlowly();
    [[gnu::noinline]] IOResult closeAtRoot();
    [[gnu::noinline]] IOResult readStringSlowly(char** s);
    [[gnu::noinline]] IOResult readSlowly(void* buf, ULONG nbytes, ULONG* nread);
    // Bytes [pos, pos + n) at hand, read from the file when they are not yet.
    bool have(size_t n) { return pos + n <= windowEnd || refill(n); }
    bool refill(size_t n);
    const uint8_t* at(size_t position) const { return view + (position - base); }
    // The bytes at hand, from file position base to windowEnd: all the data, or the file's window.
    const uint8_t* view;
    size_t base = 0, windowEnd;
    size_t size;
    size_t pos = 0;
    bool broken = false;  // damage met; problem says what
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

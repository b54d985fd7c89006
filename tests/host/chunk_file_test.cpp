// chunk_file_test.cpp - the chunk writer and reader: layout on disk, walking, and refusing damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "host/scene/chunk_file.h"
#include "tests/support/chunk_tree.h"

namespace {

std::vector<uint8_t> sample() {
    ChunkWriter w;
    ULONG n = 0;
    w.BeginChunk(0x0100);
    w.BeginChunk(0x0001);
    const int32_t v = 7;
    w.Write(&v, sizeof v, &n);
    w.EndChunk();
    w.BeginChunk(0x0002);
    w.WriteCString("ab");
    w.EndChunk();
    w.EndChunk();
    w.BeginChunk(0x0200);
    w.EndChunk();
    EXPECT_FALSE(w.failed()) << w.failure();
    return w.bytes();
}

TEST(ChunkFile, WriterPutsIdThenSizeWithHeaderAndContainerBitLittleEndian) {
    const std::vector<uint8_t> expected = {
        0x00, 0x01, 25, 0x00, 0x00, 0x80,                            // container 0x0100
        0x01, 0x00, 10, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00, 0x00,    // 0x0001: int32 7
        0x02, 0x00, 9, 0x00, 0x00, 0x00, 'a', 'b', 0x00,             // 0x0002: "ab" and its zero
        0x00, 0x02, 6, 0x00, 0x00, 0x00,                             // empty 0x0200
    };
    EXPECT_EQ(sample(), expected);
}

TEST(ChunkFile, ReaderWalksLevelsAndCloseSkipsWhatWasNotRead) {
    std::vector<uint8_t> bytes = sample();
    ChunkReader r(bytes.data(), bytes.size());
    ASSERT_EQ(r.OpenChunk(), IO_OK);
    EXPECT_EQ(r.CurChunkID(), 0x0100);
    EXPECT_EQ(r.CurChunkLength(), 19u);
    ASSERT_EQ(r.OpenChunk(), IO_OK);
    EXPECT_EQ(r.CurChunkID(), 0x0001);
    EXPECT_EQ(r.CloseChunk(), IO_OK);  // the int is skipped
    ASSERT_EQ(r.OpenChunk(), IO_OK);
    char* s = nullptr;
    ASSERT_EQ(r.ReadCStringChunk(&s), IO_OK);
    EXPECT_STREQ(s, "ab");
    EXPECT_EQ(r.CloseChunk(), IO_OK);
    EXPECT_EQ(r.OpenChunk(), IO_END);
    EXPECT_EQ(r.CloseChunk(), IO_OK);
    ASSERT_EQ(r.OpenChunk(), IO_OK);
    EXPECT_EQ(r.CurChunkID(), 0x0200);
    EXPECT_EQ(r.OpenChunk(), IO_END) << "an empty chunk reads as an empty level";
    EXPECT_EQ(r.CloseChunk(), IO_OK);
    EXPECT_EQ(r.OpenChunk(), IO_END);
    EXPECT_EQ(r.damage(), "");
}

TEST(ChunkFile, WriterReportsMisuse) {
    ULONG n = 0;
    const char byte = 1;
    {
        ChunkWriter w;
        w.BeginChunk(1);
        w.Write(&byte, 1, &n);
        w.BeginChunk(2);
        EXPECT_EQ(w.failure(), "chunk 0x0001 holds data and sub-chunks");
    }
    {
        ChunkWriter w;
        w.EndChunk();
        EXPECT_EQ(w.failure(), "a chunk was ended that was never begun");
    }
    {
        ChunkWriter w;
        EXPECT_EQ(w.Write(&byte, 1, &n), IO_ERROR);
        EXPECT_EQ(w.failure(), "data written outside any chunk");
    }
    ChunkWriter w([](void* p) { return p ? 42 : -1; });
    int object = 0;
    EXPECT_EQ(w.GetRefID(&object), 42);
    EXPECT_EQ(w.GetRefID(nullptr), 0);
}

TEST(ChunkFile, ReaderRefusesChunksThatDoNotFitAndStaysRefusing) {
    std::vector<uint8_t> bytes = sample();
    bytes[2] = 40;  // the container claims more than the file holds
    ChunkReader r(bytes.data(), bytes.size());
    EXPECT_EQ(r.OpenChunk(), IO_ERROR);
    EXPECT_EQ(r.damage(), "chunk 0x0100 at byte 0 does not fit inside its parent");
    EXPECT_EQ(r.OpenChunk(), IO_ERROR);

    std::vector<uint8_t> good = sample();
    ChunkReader reads(good.data(), good.size());
    ASSERT_EQ(reads.OpenChunk(), IO_OK);
    int32_t v = 0;
    ULONG n = 99;
    EXPECT_EQ(reads.Read(&v, 4, &n), IO_ERROR) << "a container holds no data";
    ChunkReader shortRead(good.data(), good.size());
    shortRead.OpenChunk();
    shortRead.OpenChunk();
    int64_t wide = -1;
    EXPECT_EQ(shortRead.Read(&wide, 8, &n), IO_ERROR);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(wide, -1) << "a short read leaves the value alone";
    EXPECT_EQ(shortRead.damage(), "chunk 0x0001 ends before its data (wanted 8 bytes, 4 left)");
    EXPECT_EQ(shortRead.CloseChunk(), IO_ERROR) << "damage is reported when closing too";
}

TEST(ChunkFile, StringIsBoundedByItsChunkWithOrWithoutTerminator) {
    const uint8_t bytes[] = {0x05, 0x00, 0x09, 0x00, 0x00, 0x00, 'x', 'y', 'z'};
    ChunkReader r(bytes, sizeof bytes);
    ASSERT_EQ(r.OpenChunk(), IO_OK);
    char* s = nullptr;
    ASSERT_EQ(r.ReadCStringChunk(&s), IO_OK);
    EXPECT_STREQ(s, "xyz");
}

TEST(ChunkFile, StringsStayReadableWhileTheReaderLives) {
    // Enough strings to fill several of the reader's blocks, one too long to share a block.
    ChunkWriter w;
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) texts.push_back(std::string(size_t(i % 40), char('a' + i % 26)));
    texts[1234] = std::string(30000, 'L');
    w.BeginChunk(0x0100);
    for (const std::string& t : texts) {
        w.BeginChunk(0x0001);
        w.WriteCString(t.c_str());
        w.EndChunk();
    }
    w.EndChunk();
    ASSERT_FALSE(w.failed()) << w.failure();
    ASSERT_EQ(w.bytes(), std::vector<uint8_t>(w.data(), w.data() + w.size()));

    ChunkReader r(w.data(), w.size());
    ASSERT_EQ(r.OpenChunk(), IO_OK);
    std::vector<char*> read;
    while (r.OpenChunk() == IO_OK) {
        read.push_back(nullptr);
        ASSERT_EQ(r.ReadCStringChunk(&read.back()), IO_OK);
        r.CloseChunk();
    }
    ASSERT_EQ(read.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(read[i], texts[i]) << "string " << i;
}

// What writeAll writes through a writer streaming to a temporary file, read back into
// onDisk (up to one byte past expected, so a longer file shows); the file is left open
// and rewound, null when it could not be made or the stream failed.
template <class WriteAll>
std::FILE* writeStreamed(const WriteAll& writeAll, size_t expected, std::vector<uint8_t>& onDisk) {
    std::FILE* file = std::tmpfile();
    if (!file) return nullptr;
    ChunkWriter streamed;
    streamed.streamTo(file);
    writeAll(streamed);
    if (!streamed.finishStream()) {
        std::fclose(file);
        return nullptr;
    }
    onDisk.resize(expected + 1);
    std::rewind(file);
    onDisk.resize(std::fread(onDisk.data(), 1, onDisk.size(), file));
    std::rewind(file);
    return file;
}

TEST(ChunkFile, StreamedFileHoldsTheSameBytesAsMemory) {
    // Over a megabyte in nested chunks, so headers leave for the file before their chunks end.
    auto writeAll = [](ChunkWriter& w) {
        ULONG n = 0;
        const std::vector<uint8_t> block(5000, 0xAB);
        w.BeginChunk(0x0100);
        for (int outer = 0; outer < 3; ++outer) {
            w.BeginChunk(USHORT(0x0200 + outer));
            for (int k = 0; k < 90; ++k) {
                w.BeginChunk(USHORT(k));
                w.Write(block.data(), ULONG(block.size() - size_t(k)), &n);
                w.EndChunk();
            }
            w.EndChunk();
        }
        w.EndChunk();
    };
    ChunkWriter memory;
    writeAll(memory);
    std::vector<uint8_t> onDisk;
    std::FILE* file = writeStreamed(writeAll, memory.size(), onDisk);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(onDisk, memory.bytes());
}

TEST(ChunkFile, DeepNestingWrittenAndReadAtEveryDepth) {
    // Deeper than the open-chunk stacks start out, with data at the bottom large enough to
    // move the writer's buffer and cross a streamed block while every level is open.
    constexpr int kDepth = 100;
    const std::vector<uint8_t> block(700000, 0x5A);
    auto writeAll = [&](ChunkWriter& w) {
        ULONG n = 0;
        for (int d = 0; d < kDepth; ++d) w.BeginChunk(USHORT(0x0100 + d));
        EXPECT_EQ(w.depth(), size_t(kDepth));
        w.Write(block.data(), ULONG(block.size()), &n);
        for (int d = 0; d < kDepth; ++d) w.EndChunk();
        EXPECT_FALSE(w.failed()) << w.failure();
    };
    ChunkWriter memory;
    writeAll(memory);
    std::vector<uint8_t> onDisk;
    std::FILE* file = writeStreamed(writeAll, memory.size(), onDisk);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(onDisk, memory.bytes());

    ChunkReader fromMemory(memory.data(), memory.size());
    ChunkReader fromFile(file, onDisk.size(), 4096);
    for (ChunkReader* r : {&fromMemory, &fromFile}) {
        for (int d = 0; d < kDepth; ++d) {
            ASSERT_EQ(r->OpenChunk(), IO_OK) << d;
            EXPECT_EQ(r->CurChunkID(), 0x0100 + d);
            EXPECT_EQ(r->CurChunkLength(), block.size() + size_t(kDepth - 1 - d) * kChunkHeaderSize);
        }
        std::vector<uint8_t> back(block.size());
        ULONG n = 0;
        ASSERT_EQ(r->Read(back.data(), ULONG(back.size()), &n), IO_OK);
        EXPECT_EQ(back, block);
        ASSERT_EQ(r->CloseChunk(), IO_OK);
        for (int d = 1; d < kDepth; ++d) {
            EXPECT_EQ(r->OpenChunk(), IO_END) << d;
            ASSERT_EQ(r->CloseChunk(), IO_OK);
        }
        EXPECT_EQ(r->OpenChunk(), IO_END);
        EXPECT_EQ(r->CloseChunk(), IO_ERROR) << "nothing is open any more";
        EXPECT_EQ(r->damage(), "a chunk was closed that was never opened");
    }
    std::fclose(file);
}

TEST(ChunkFile, EveryTruncationIsEitherReadWithinBoundsOrRefused) {
    const std::vector<uint8_t> bytes = sample();
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(n));
        ChunkReader r(cut.data(), cut.size());
        // Walk everything; the sanitizers catch any read past the end.
        int guard = 0;
        for (IOResult res = r.OpenChunk(); guard++ < 100; res = r.OpenChunk()) {
            if (res == IO_OK) continue;
            if (res == IO_ERROR || r.depth() == 0) break;
            r.CloseChunk();
        }
        if (n != 0 && n != 25) EXPECT_NE(r.damage(), "") << "prefix of " << n;
    }
}

// Everything a loader can learn from the reader: the tree, the data, the strings, the damage.
// Identifiers below 0x0100 hold data; from 0x0200 on a chunk is closed unread.
std::string transcript(ChunkReader& r) {
    std::string out;
    int guard = 0;
    for (IOResult res = r.OpenChunk(); guard++ < 1000; res = r.OpenChunk()) {
        if (res == IO_OK) {
            const USHORT id = r.CurChunkID();
            out += "<" + std::to_string(id) + ":" + std::to_string(r.CurChunkLength());
            if (id >= 0x0200) {
                out += r.CloseChunk() == IO_OK ? " skipped>" : " skipped>!";
                continue;
            }
            if (id >= 0x0100) continue;
            uint8_t head[3] = {};
            ULONG n = 0;
            if (r.Read(head, std::min<ULONG>(3, r.CurChunkLength()), &n) == IO_OK) {
                out += " " + std::string(head, head + n);
                char* rest = nullptr;
                if (r.ReadCStringChunk(&rest) == IO_OK) out += "|" + std::string(rest);
            }
            out += r.CloseChunk() == IO_OK ? ">" : ">!";
            continue;
        }
        if (res == IO_ERROR || r.depth() == 0) break;
        out += r.CloseChunk() == IO_OK ? ">" : ">!";
    }
    return out + " damage: " + r.damage();
}

TEST(ChunkFile, FileReadThroughAWindowReadsAsMemoryDoesForEveryPrefix) {
    ChunkWriter w;
    ULONG n = 0;
    w.BeginChunk(0x0100);
    for (int k = 0; k < 6; ++k) {
        w.BeginChunk(USHORT(k));
        const std::string text(size_t(k * 9), char('a' + k));
        w.Write(text.data(), ULONG(text.size()), &n);
        w.EndChunk();
    }
    w.BeginChunk(0x0200);
    w.BeginChunk(0x0007);  // skipped unread by the closing of its parent
    w.WriteCString("never read");
    w.EndChunk();
    w.EndChunk();
    w.EndChunk();
    const std::vector<uint8_t> bytes = w.bytes();
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        ChunkReader memory(bytes.data(), cut);
        const std::string expected = transcript(memory);
        for (size_t window : {1, 7, 64}) {
            std::FILE* file = std::tmpfile();
            ASSERT_NE(file, nullptr);
            std::fwrite(bytes.data(), 1, cut, file);
            std::rewind(file);
            ChunkReader streamed(file, cut, window);
            EXPECT_EQ(transcript(streamed), expected) << "prefix " << cut << ", window " << window;
            std::fclose(file);
        }
    }
    // A file shorter than it was said to be is refused, not read past its end.
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, 40, file);
    std::rewind(file);
    ChunkReader shorter(file, bytes.size(), 16);
    const std::string t = transcript(shorter);
    EXPECT_NE(t.find("damage: the file cannot be read past byte 40"), std::string::npos) << t;
    std::fclose(file);
}

}  // namespace

// The reader that reads ahead on a second thread (and writes on a third):
// every byte reaches the caller once and in order, errors come with the
// system's code, and ending it between chunks leaves no thread behind.
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <thread>

#include "common/wide_text.h"
#include "files/chunk_reader.h"
#include "support/test_support.h"

namespace {
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    uint32_t x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
    }
    return bytes;
}

// Everything the reader hands over, in the order it does.
std::string ReadAll(CChunkReader& reader) {
    std::string got;
    ChunkView chunk;
    while (reader.Next(&chunk)) got.append(reinterpret_cast<const char*>(chunk.data), chunk.size);
    return got;
}

int ThreadsOfThisProcess() {
    UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    return count;
}

UniqueFile NewFile(const std::string& path) {
    return UniqueFile(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
}

DWORD s_writeError = 0;
int s_writesLeft = 0;
// A destination that takes s_writesLeft chunks, then fails with s_writeError
// (ERROR_SUCCESS: says it wrote, but took one byte less).
bool FailingWrite(void* file, const void* data, unsigned long size, unsigned long* written) {
    if (s_writesLeft-- > 0) return WriteChunkToFile(file, data, size, written);
    *written = size - 1;
    ::SetLastError(s_writeError);
    return s_writeError == ERROR_SUCCESS;
}
}  // namespace

TEST(ChunkReader, HandsOverEveryByteOnceInOrder) {
    ScratchFolder dir("C:\\ZkChunks");
    // Read on the caller's thread up to kChunkInlineBytes, ahead beyond.
    for (size_t size : {size_t{0}, size_t{1}, kChunkReadBytes - 1, kChunkReadBytes, kChunkReadBytes + 1,
                        kChunkInlineBytes, kChunkInlineBytes + 1, kChunkReadBuffers * kChunkReadBytes * 2 + 12345}) {
        SCOPED_TRACE(size);
        const std::string bytes = Pattern(size);
        const std::string source = dir / ("in" + std::to_string(size));
        ASSERT_TRUE(WriteWholeFile(source, bytes));

        // The read-back's way: from the disk, past the system's cache.
        uint32_t error = 1;
        UniqueFile in = OpenForChunks(WideFromUtf8("\\\\?\\" + source), ChunkCache::Bypass, &error);
        ASSERT_TRUE(in);
        EXPECT_EQ(error, 0u);
        {
            CChunkReader reader(in.get(), ChunkCache::Bypass);
            EXPECT_TRUE(ReadAll(reader) == bytes);
            EXPECT_EQ(reader.BytesHandedOver(), static_cast<int64_t>(size));
            EXPECT_TRUE(reader.FinishWrites());
            EXPECT_EQ(reader.ReadError(), 0u);
        }

        // The copy's way: each chunk also written, in order.
        const std::string target = dir / ("out" + std::to_string(size));
        in = OpenForChunks(WideFromUtf8(source), ChunkCache::Use, &error);
        UniqueFile out = NewFile(target);
        ASSERT_TRUE(in && out);
        {
            CChunkReader copy(in.get(), ChunkCache::Use, out.get());
            EXPECT_TRUE(ReadAll(copy) == bytes);
            EXPECT_TRUE(copy.FinishWrites());
            EXPECT_EQ(copy.WriteError(), 0u);
        }
        out.reset();
        EXPECT_TRUE(ReadWholeFile(target) == bytes);
    }

    uint32_t error = 0;
    EXPECT_FALSE(OpenForChunks(WideFromUtf8(dir / "missing.bin"), ChunkCache::Use, &error));
    EXPECT_EQ(error, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(ChunkReader, ReportsAReadErrorAfterTheBytesBeforeIt) {
    // A pipe whose other end goes away in the middle: a read that fails as
    // a pulled stick's does, after a chunk and a half.
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(::CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    UniqueFile in(readEnd), feed(writeEnd);
    const std::string bytes = Pattern(kChunkReadBytes * 3 / 2);
    CChunkReader reader(in.get());
    std::thread feeder([&] {
        DWORD put = 0;
        ::WriteFile(feed.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
        feed.reset();
    });
    EXPECT_TRUE(ReadAll(reader) == bytes);
    feeder.join();
    EXPECT_EQ(reader.ReadError(), static_cast<uint32_t>(ERROR_BROKEN_PIPE));
    EXPECT_FALSE(reader.FinishWrites());
}

TEST(ChunkReader, ReportsAWriteErrorWithItsCode) {
    ScratchFolder dir("C:\\ZkChunkWrite");
    // A large file fails on its second write (on the writer thread), a
    // small one on its only write (on the caller's).
    for (size_t size : {kChunkReadBytes * 6, size_t{1000}}) {
        const std::string bytes = Pattern(size);
        ASSERT_TRUE(WriteWholeFile(dir / "in", bytes));
        for (DWORD error : {DWORD{ERROR_DEVICE_NOT_CONNECTED}, DWORD{ERROR_SUCCESS}}) {
            SCOPED_TRACE(std::to_string(size) + " " + std::to_string(error));
            s_writeError = error;
            s_writesLeft = size > kChunkReadBytes ? 1 : 0;
            uint32_t openError = 0;
            UniqueFile in = OpenForChunks(WideFromUtf8(dir / "in"), ChunkCache::Use, &openError);
            ::DeleteFileA((dir / "out").c_str());
            UniqueFile out = NewFile(dir / "out");
            ASSERT_TRUE(in && out);
            CChunkReader copy(in.get(), ChunkCache::Use, out.get(), &FailingWrite);
            const std::string handed = ReadAll(copy);
            EXPECT_LT(handed.size(), bytes.size()) << "the reading stops too";
            EXPECT_FALSE(copy.FinishWrites());
            EXPECT_EQ(copy.WriteError(), error == ERROR_SUCCESS ? static_cast<uint32_t>(ERROR_DISK_FULL) : error);
            EXPECT_EQ(copy.ReadError(), 0u);
        }
    }
}

TEST(ChunkReader, EndedBetweenChunksLeavesNoThreadBehind) {
    ScratchFolder dir("C:\\ZkChunkStop");
    ASSERT_TRUE(WriteWholeFile(dir / "in", Pattern(kChunkReadBytes * (kChunkReadBuffers + 4))));
    // Ends a reader after two chunks; the threads of the process meanwhile.
    const auto threadsWhileReading = [&](bool copying) {
        uint32_t error = 0;
        UniqueFile in = OpenForChunks(WideFromUtf8(dir / "in"), ChunkCache::Use, &error);
        ::DeleteFileA((dir / "out").c_str());
        UniqueFile out = copying ? NewFile(dir / "out") : UniqueFile();
        CChunkReader reader(in.get(), ChunkCache::Use, out.get());
        ChunkView chunk;
        EXPECT_TRUE(reader.Next(&chunk) && reader.Next(&chunk));
        return ThreadsOfThisProcess();
    };
    // The first reads of a process may start a helper of the system's that
    // stays: count after them.
    threadsWhileReading(true);
    const int before = ThreadsOfThisProcess();
    EXPECT_EQ(threadsWhileReading(false), before + 1);
    EXPECT_EQ(ThreadsOfThisProcess(), before);
    EXPECT_EQ(threadsWhileReading(true), before + 2);
    EXPECT_EQ(ThreadsOfThisProcess(), before);

    // A small file starts none: a show's many small files would spend more
    // on starting threads than on reading them.
    const std::string small = Pattern(kChunkInlineBytes);
    ASSERT_TRUE(WriteWholeFile(dir / "small", small));
    uint32_t error = 0;
    UniqueFile in = OpenForChunks(WideFromUtf8(dir / "small"), ChunkCache::Use, &error);
    ::DeleteFileA((dir / "out").c_str());
    UniqueFile out = NewFile(dir / "out");
    {
        CChunkReader copy(in.get(), ChunkCache::Use, out.get());
        ChunkView chunk;
        EXPECT_TRUE(copy.Next(&chunk));
        EXPECT_EQ(ThreadsOfThisProcess(), before);
        EXPECT_FALSE(copy.Next(&chunk) && copy.Next(&chunk) && copy.Next(&chunk) && copy.Next(&chunk));
        EXPECT_TRUE(copy.FinishWrites());
    }
    out.reset();
    EXPECT_TRUE(ReadWholeFile(dir / "out") == small);
}

// Reading a file in large chunks while the caller works on the one before,
// and, for a copy, writing each chunk while the next is read and hashed.
//
// A second thread reads ahead (a third writes, for a copy); the caller's
// thread is handed every chunk once, in order, to hash it, feed it to a
// content check and pump its window's messages, and may stop between any
// two chunks by ending the reader. The threads it starts touch only the
// two handles, the write function and the reader's own buffers: no shared
// state, no run log, no window. Memory stays bounded: kChunkReadBuffers
// buffers of the chunk size (2 MiB), whatever the file's size, and one
// such block kept for the next reader. A small file starts no thread.
//
//   uint32_t error = 0;
//   UniqueFile in = OpenForChunks(L"\\\\?\\E:\\Demo\\Audio\\intro.wav", ChunkCache::Bypass, &error);
//   if (!in) return Failed(error);
//   CChunkReader reader(in.get(), ChunkCache::Bypass);
//   ChunkView chunk;
//   while (reader.Next(&chunk)) {
//       sha.Add(chunk.data, chunk.size);
//       check.Feed(chunk.data, chunk.size);
//       if (!work.Pump()) return Stopped();   // ~CChunkReader ends the threads
//   }
//   if (reader.ReadError()) return Failed(reader.ReadError());
//
// A copy gives the target and the write function too (the back-up passes
// its seam, g_pfnBackupWrite), and waits for the last write at the end:
//
//   CChunkReader copy(in.get(), ChunkCache::Use, out.get(), g_pfnBackupWrite);
//   while (copy.Next(&chunk)) { ...as above... }
//   if (!copy.FinishWrites()) return Failed(copy.ReadError() ? copy.ReadError() : copy.WriteError());
//   // then FlushFileBuffers(out), as before
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/win_raii.h"

// Each chunk read; a multiple of any disk's sector, as reads past the
// system's cache need. (Under Wine, reads and writes of exactly 1 MiB ran
// at a third of the speed of 512 KiB ones.)
constexpr size_t kChunkReadBytes = 512 << 10;
// Buffers in flight: one with the caller, one being written, the rest read
// ahead.
constexpr int kChunkReadBuffers = 4;
// A file up to this size is read (and written) on the caller's thread,
// chunk by chunk: starting the threads would cost more than they save.
constexpr size_t kChunkInlineBytes = kChunkReadBytes * kChunkReadBuffers;

enum class ChunkCache {
    Use,     // through the system's cache
    Bypass,  // from the disk itself (FILE_FLAG_NO_BUFFERING): a read-back
};

// Opens a file for a CChunkReader by its wide name (with the "\\?\" prefix
// for any length): for reading, other programs may read it too. An invalid
// handle, with the system's error code in *error, when it cannot be opened.
UniqueFile OpenForChunks(const std::wstring& path, ChunkCache cache, uint32_t* error);

// Writes one chunk; the same shape as the back-up's write seam. Called on
// the writer thread (on the caller's, for a small file): it may only
// write, and say so through SetLastError.
using ChunkWriteFn = bool (*)(void* file, const void* data, unsigned long size, unsigned long* written);
bool WriteChunkToFile(void* file, const void* data, unsigned long size, unsigned long* written);

struct ChunkView {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

class CChunkReader {
public:
    // Reads `in` from its current position to its end. The handle must be
    // a synchronous one (no FILE_FLAG_OVERLAPPED), opened with the same
    // cache choice, stay open while the reader lives, and be left alone by
    // the caller meanwhile. With `out` (a synchronous handle through the
    // system's cache: the last chunk is seldom a whole sector), every chunk
    // is also written there, through `write` (WriteChunkToFile when null),
    // in order. A file of kChunkInlineBytes or less starts no thread: it
    // is read (and written) on the caller's thread, in Next.
    explicit CChunkReader(HANDLE in, ChunkCache cache = ChunkCache::Use, HANDLE out = INVALID_HANDLE_VALUE,
                          ChunkWriteFn write = nullptr);
    // Stops reading and writing and waits for the threads to end: at most
    // for the one read and the one write under way.
    ~CChunkReader();
    CChunkReader(const CChunkReader&) = delete;
    CChunkReader& operator=(const CChunkReader&) = delete;

    // The next chunk, in order, waiting for it if need be; it stays valid
    // until the next call. False at the end of the file, after a read or
    // write error, or when the threads could not start (ReadError says
    // which). Chunks read before a read error are handed over first; a
    // write error ends at once.
    bool Next(ChunkView* chunk);

    // For a copy, after Next returned false: waits until every chunk read
    // is written. True when the whole file was read and written.
    bool FinishWrites();

    // The system's error code of the failed read (or of the start), 0 if none.
    uint32_t ReadError() const;
    // The system's error code of the failed write, 0 if none; a write that
    // took fewer bytes than it was given is ERROR_DISK_FULL.
    uint32_t WriteError() const;
    // Bytes handed over to the caller so far.
    int64_t BytesHandedOver() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

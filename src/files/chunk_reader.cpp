#include "files/chunk_reader.h"

#include <condition_variable>
#include <mutex>
#include <utility>
#include <system_error>
#include <thread>

UniqueFile OpenForChunks(const std::wstring& path, ChunkCache cache, uint32_t* error) {
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (cache == ChunkCache::Bypass ? FILE_FLAG_NO_BUFFERING : 0);
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
    *error = file ? 0u : static_cast<uint32_t>(::GetLastError());
    return file;
}

bool WriteChunkToFile(void* file, const void* data, unsigned long size, unsigned long* written) {
    DWORD put = 0;
    const bool ok = ::WriteFile(static_cast<HANDLE>(file), data, size, &put, nullptr) != FALSE;
    *written = put;
    return ok;
}

// Chunks are counted from the start of the file: chunk n lies in buffer
// n % kChunkReadBuffers. Three counters, each moved by one side only, say
// who holds what: the reader fills chunk `read` once `read` is less than
// kChunkReadBuffers ahead of the slowest of the caller (`released`) and the
// writer (`written`).
struct CChunkReader::Impl {
    HANDLE in;
    HANDLE out;
    ChunkWriteFn write;
    bool unbuffered;
    // A small file (kChunkInlineBytes or less) is read (and written) on the
    // caller's thread, one chunk at a time: starting threads would cost
    // more than they save.
    bool inlined = false;

    // One block of memory, page-aligned as unbuffered reads want it. The
    // block of the reader before is taken over when it is free: a read
    // touches every page of its buffer first (under Wine), and a new block
    // costs more than reading a small file.
    struct PageMemory {
        static constexpr size_t kBytes = kChunkReadBytes * kChunkReadBuffers;
        void* p = nullptr;
        PageMemory() {
            std::lock_guard<std::mutex> hold(SpareLock());
            std::swap(p, Spare());
            if (!p) p = ::VirtualAlloc(nullptr, kBytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
        ~PageMemory() {
            if (!p) return;
            std::lock_guard<std::mutex> hold(SpareLock());
            if (!Spare()) {
                Spare() = p;
            } else {
                ::VirtualFree(p, 0, MEM_RELEASE);
            }
        }
        // One block at most stays for the next reader, for the whole run.
        static void*& Spare() {
            static void* s_spare = nullptr;
            return s_spare;
        }
        static std::mutex& SpareLock() {
            static std::mutex s_lock;
            return s_lock;
        }
    } memory;
    size_t sizes[kChunkReadBuffers] = {};

    std::mutex lock;
    std::condition_variable changed;
    uint64_t read = 0;
    uint64_t released = 0;
    uint64_t written = 0;
    bool holding = false;  // the caller has chunk `released`
    bool draining = false;  // FinishWrites: the caller takes no more chunks
    bool ended = false;     // no chunk will be read any more
    bool stop = false;
    DWORD readError = 0;
    DWORD writeError = 0;
    int64_t handedOver = 0;

    std::thread reader;
    std::thread writer;

    bool Copying() const { return out != INVALID_HANDLE_VALUE; }
    uint8_t* Buffer(uint64_t chunk) const {
        return static_cast<uint8_t*>(memory.p) + (chunk % kChunkReadBuffers) * kChunkReadBytes;
    }
    uint64_t Oldest() const {
        const uint64_t caller = draining ? read : released;
        return Copying() && written < caller ? written : caller;
    }

    // The caller's thread reads the next chunk into the one buffer and, for
    // a copy, writes it; false at the end or after an error.
    bool StepInline(ChunkView* chunk) {
        if (ended) return false;
        DWORD got = 0;
        const bool ok = ::ReadFile(in, Buffer(0), static_cast<DWORD>(kChunkReadBytes), &got, nullptr) != FALSE;
        const DWORD error = ok ? 0 : ::GetLastError();
        std::lock_guard<std::mutex> hold(lock);
        if (!ok) readError = error ? error : ERROR_READ_FAULT;
        if (!ok || got == 0 || (unbuffered && got < kChunkReadBytes)) ended = true;
        if (got == 0) return false;
        if (Copying()) {
            unsigned long put = 0;
            const bool written = write(out, Buffer(0), got, &put);
            if (!written || put != got) {
                const DWORD writeFailure = written ? ERROR_DISK_FULL : ::GetLastError();
                writeError = writeFailure ? writeFailure : ERROR_WRITE_FAULT;
                ended = true;
                return false;
            }
        }
        chunk->data = Buffer(0);
        chunk->size = got;
        return true;
    }

    void ReadAll() {
        for (;;) {
            uint64_t chunk;
            {
                std::unique_lock<std::mutex> hold(lock);
                changed.wait(hold, [&] { return stop || writeError || read - Oldest() < kChunkReadBuffers; });
                if (stop || writeError) break;
                chunk = read;
            }
            DWORD got = 0;
            const bool ok = ::ReadFile(in, Buffer(chunk), static_cast<DWORD>(kChunkReadBytes), &got, nullptr) != FALSE;
            const DWORD error = ok ? 0 : ::GetLastError();
            std::lock_guard<std::mutex> hold(lock);
            if (!ok) readError = error ? error : ERROR_READ_FAULT;
            if (got > 0) {
                sizes[chunk % kChunkReadBuffers] = got;
                ++read;
            }
            // A short read through the cache is not yet the end; only an
            // empty one is. Past the cache, a short read is the file's tail,
            // and a read after it would start where no sector does.
            if (!ok || got == 0 || (unbuffered && got < kChunkReadBytes)) ended = true;
            changed.notify_all();
            if (ended) break;
        }
    }

    void WriteAll() {
        for (;;) {
            uint64_t chunk;
            size_t size;
            {
                std::unique_lock<std::mutex> hold(lock);
                changed.wait(hold, [&] { return stop || readError || written < read || ended; });
                if (stop || readError || written == read) break;
                chunk = written;
                size = sizes[chunk % kChunkReadBuffers];
            }
            unsigned long put = 0;
            const bool ok = write(out, Buffer(chunk), static_cast<unsigned long>(size), &put);
            const DWORD error = ok ? (put == size ? 0 : ERROR_DISK_FULL) : ::GetLastError();
            std::lock_guard<std::mutex> hold(lock);
            if (ok && put == size) {
                ++written;
            } else {
                writeError = error ? error : ERROR_WRITE_FAULT;
            }
            changed.notify_all();
            if (writeError) break;
        }
    }
};

CChunkReader::CChunkReader(HANDLE in, ChunkCache cache, HANDLE out, ChunkWriteFn write) : m_impl(new Impl) {
    Impl& d = *m_impl;
    d.in = in;
    d.out = out;
    d.write = write ? write : &WriteChunkToFile;
    d.unbuffered = cache == ChunkCache::Bypass;
    // Most files of a show are small, and a thread costs about a
    // millisecond to start under Wine. (Read inline, a file that grows
    // meanwhile is still read to its end, only without reading ahead.)
    LARGE_INTEGER size{};
    d.inlined = ::GetFileSizeEx(in, &size) && size.QuadPart <= static_cast<LONGLONG>(kChunkInlineBytes);
    if (!d.memory.p) {
        d.readError = ERROR_NOT_ENOUGH_MEMORY;
        d.ended = true;
        return;
    }
    if (d.inlined) return;
    try {
        d.reader = std::thread([&d] { d.ReadAll(); });
        if (d.Copying()) d.writer = std::thread([&d] { d.WriteAll(); });
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> hold(d.lock);
        d.stop = true;
        d.readError = ERROR_NOT_ENOUGH_MEMORY;
        d.changed.notify_all();
    }
}

CChunkReader::~CChunkReader() {
    Impl& d = *m_impl;
    {
        std::lock_guard<std::mutex> hold(d.lock);
        d.stop = true;
        d.changed.notify_all();
    }
    if (d.reader.joinable()) d.reader.join();
    if (d.writer.joinable()) d.writer.join();
}

bool CChunkReader::Next(ChunkView* chunk) {
    Impl& d = *m_impl;
    if (d.inlined) {
        if (d.draining || !d.StepInline(chunk)) return false;
        std::lock_guard<std::mutex> hold(d.lock);
        d.handedOver += static_cast<int64_t>(chunk->size);
        return true;
    }
    std::unique_lock<std::mutex> hold(d.lock);
    if (d.holding) {
        ++d.released;
        d.holding = false;
        d.changed.notify_all();
    }
    if (d.stop || d.draining) return false;
    d.changed.wait(hold, [&] { return d.writeError || d.released < d.read || d.ended; });
    if (d.writeError || d.released == d.read) return false;
    d.holding = true;
    chunk->data = d.Buffer(d.released);
    chunk->size = d.sizes[d.released % kChunkReadBuffers];
    d.handedOver += static_cast<int64_t>(chunk->size);
    return true;
}

bool CChunkReader::FinishWrites() {
    Impl& d = *m_impl;
    if (d.inlined) {
        // What the caller did not take is still read and written.
        d.draining = true;
        ChunkView rest;
        while (d.StepInline(&rest)) {
        }
        std::lock_guard<std::mutex> hold(d.lock);
        return !d.writeError && !d.readError;
    }
    std::unique_lock<std::mutex> hold(d.lock);
    if (d.holding) {
        ++d.released;
        d.holding = false;
    }
    d.draining = true;
    d.changed.notify_all();
    if (d.stop) return false;
    d.changed.wait(hold, [&] {
        return d.writeError || d.readError || (d.ended && (!d.Copying() || d.written == d.read));
    });
    return !d.writeError && !d.readError;
}

uint32_t CChunkReader::ReadError() const {
    std::lock_guard<std::mutex> hold(m_impl->lock);
    return m_impl->readError;
}

uint32_t CChunkReader::WriteError() const {
    std::lock_guard<std::mutex> hold(m_impl->lock);
    return m_impl->writeError;
}

int64_t CChunkReader::BytesHandedOver() const {
    std::lock_guard<std::mutex> hold(m_impl->lock);
    return m_impl->handedOver;
}

// SHA-256, as `certutil -hashfile <file> SHA256` prints it for a copy: on
// the processor's SHA instructions where it has them (several times faster,
// so hashing keeps up with the disk), else by Windows' own hashing (BCrypt).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

enum class Sha256Engine {
    Fastest,    // the processor's instructions where present, else the system's
    Processor,  // only the processor's (not Valid() on one without them)
    System,     // only the system's BCrypt
};

class CSha256 {
public:
    explicit CSha256(Sha256Engine engine = Sha256Engine::Fastest);
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    // False when the system has no SHA-256 (then nothing can be checked).
    bool Valid() const;
    // True when the processor's instructions do the work.
    bool OnProcessor() const;
    // Starts a new hash; false when the system refused.
    bool Begin();
    bool Add(const void* data, size_t size);
    // 64 lowercase hex digits; empty on failure. Ends the current hash.
    std::string Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

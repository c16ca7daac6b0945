// SHA-256 by Windows' own hashing (BCrypt), so that a copy's hash is the
// one `certutil -hashfile <file> SHA256` prints for it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    // False when the system has no SHA-256 (then nothing can be checked).
    bool Valid() const;
    // Starts a new hash; false when the system refused.
    bool Begin();
    bool Add(const void* data, size_t size);
    // 64 lowercase hex digits; empty on failure. Ends the current hash.
    std::string Finish();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

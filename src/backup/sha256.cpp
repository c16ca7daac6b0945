#include "backup/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <climits>
#include <vector>

struct CSha256::Impl {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    std::vector<UCHAR> object;  // the hash's working memory, owned here

    void CloseHash() {
        if (hash) ::BCryptDestroyHash(hash);
        hash = nullptr;
    }
    ~Impl() {
        CloseHash();
        if (algorithm) ::BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

CSha256::CSha256() : m_impl(new Impl) {
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&m_impl->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        m_impl->algorithm = nullptr;
        return;
    }
    DWORD size = 0, got = 0;
    if (!BCRYPT_SUCCESS(::BCryptGetProperty(m_impl->algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&size),
                                            sizeof size, &got, 0))) {
        ::BCryptCloseAlgorithmProvider(m_impl->algorithm, 0);
        m_impl->algorithm = nullptr;
        return;
    }
    m_impl->object.resize(size);
}

CSha256::~CSha256() = default;

bool CSha256::Valid() const { return m_impl->algorithm != nullptr; }

bool CSha256::Begin() {
    m_impl->CloseHash();
    if (!Valid()) return false;
    if (BCRYPT_SUCCESS(::BCryptCreateHash(m_impl->algorithm, &m_impl->hash, m_impl->object.data(),
                                          static_cast<ULONG>(m_impl->object.size()), nullptr, 0, 0)))
        return true;
    m_impl->hash = nullptr;
    return false;
}

bool CSha256::Add(const void* data, size_t size) {
    if (!m_impl->hash) return false;
    const UCHAR* bytes = static_cast<const UCHAR*>(data);
    while (size > 0) {
        const ULONG part = size > ULONG_MAX ? ULONG_MAX : static_cast<ULONG>(size);
        if (!BCRYPT_SUCCESS(::BCryptHashData(m_impl->hash, const_cast<PUCHAR>(bytes), part, 0))) return false;
        bytes += part;
        size -= part;
    }
    return true;
}

std::string CSha256::Finish() {
    if (!m_impl->hash) return std::string();
    UCHAR digest[32];
    const bool ok = BCRYPT_SUCCESS(::BCryptFinishHash(m_impl->hash, digest, sizeof digest, 0));
    m_impl->CloseHash();
    if (!ok) return std::string();
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (UCHAR b : digest) {
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

#include "backup/sha256.h"

#include <windows.h>
#include <bcrypt.h>

#include <array>
#include <climits>
#include <vector>

#include "backup/sha256_ni.h"

struct CSha256::Impl {
    std::unique_ptr<CSha256Ni> processor;
    bool processorStarted = false;
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    std::vector<UCHAR> object;  // the hash's working memory, owned here

    void CloseHash() {
        if (hash) ::BCryptDestroyHash(hash);
        hash = nullptr;
    }
    void OpenSystem() {
        if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
            algorithm = nullptr;
            return;
        }
        DWORD size = 0, got = 0;
        if (!BCRYPT_SUCCESS(::BCryptGetProperty(algorithm, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&size),
                                                sizeof size, &got, 0))) {
            ::BCryptCloseAlgorithmProvider(algorithm, 0);
            algorithm = nullptr;
            return;
        }
        object.resize(size);
    }
    ~Impl() {
        CloseHash();
        if (algorithm) ::BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

namespace {
std::string Hex(const UCHAR* digest, size_t size) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * size);
    for (size_t i = 0; i < size; ++i) {
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}
}  // namespace

CSha256::CSha256(Sha256Engine engine) : m_impl(new Impl) {
    if (engine != Sha256Engine::System && HasShaInstructions())
        m_impl->processor = std::make_unique<CSha256Ni>();
    else if (engine != Sha256Engine::Processor)
        m_impl->OpenSystem();
}

CSha256::~CSha256() = default;

bool CSha256::Valid() const { return m_impl->processor || m_impl->algorithm != nullptr; }

bool CSha256::OnProcessor() const { return m_impl->processor != nullptr; }

bool CSha256::Begin() {
    if (m_impl->processor) {
        m_impl->processor->Begin();
        m_impl->processorStarted = true;
        return true;
    }
    m_impl->CloseHash();
    if (!Valid()) return false;
    if (BCRYPT_SUCCESS(::BCryptCreateHash(m_impl->algorithm, &m_impl->hash, m_impl->object.data(),
                                          static_cast<ULONG>(m_impl->object.size()), nullptr, 0, 0)))
        return true;
    m_impl->hash = nullptr;
    return false;
}

bool CSha256::Add(const void* data, size_t size) {
    if (m_impl->processor) {
        if (m_impl->processorStarted) m_impl->processor->Add(static_cast<const uint8_t*>(data), size);
        return m_impl->processorStarted;
    }
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
    if (m_impl->processor) {
        if (!m_impl->processorStarted) return std::string();
        m_impl->processorStarted = false;
        const std::array<uint8_t, 32> digest = m_impl->processor->Finish();
        return Hex(digest.data(), digest.size());
    }
    if (!m_impl->hash) return std::string();
    UCHAR digest[32];
    const bool ok = BCRYPT_SUCCESS(::BCryptFinishHash(m_impl->hash, digest, sizeof digest, 0));
    m_impl->CloseHash();
    if (!ok) return std::string();
    return Hex(digest, sizeof digest);
}

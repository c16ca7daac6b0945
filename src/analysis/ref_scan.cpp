#include "analysis/ref_scan.h"

#include <cstring>

namespace {

constexpr size_t kZeroUnknown = static_cast<size_t>(-1);

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

CReferenceScanner::CReferenceScanner(const char* data, size_t n)
    : m_data(data), m_n(data ? n : 0), m_pos(0), m_zero(kZeroUnknown)
{
}

bool CReferenceScanner::Next(std::string_view& ref)
{
    while (m_pos < m_n) {
        const void* hit = std::memchr(m_data + m_pos, ':', m_n - m_pos);
        if (!hit)
            break;
        const size_t colon = static_cast<size_t>(static_cast<const char*>(hit) - m_data);
        m_pos = colon + 1;
        if (colon == 0 || colon + 1 >= m_n || m_data[colon + 1] != '\\' ||
            !IsAsciiLetter(m_data[colon - 1]))
            continue;

        const size_t start = colon - 1;
        // References nest and overlap, so the zero that ended the previous
        // one also ends this one when it lies beyond this start: each byte
        // is searched for a zero at most once.
        if (m_zero == kZeroUnknown || m_zero < start) {
            const void* zero = std::memchr(m_data + start, '\0', m_n - start);
            m_zero = zero ? static_cast<size_t>(static_cast<const char*>(zero) - m_data) : m_n;
        }
        size_t length = m_zero - start;
        if (length > kMaxReferenceLength)
            length = kMaxReferenceLength;
        ref = std::string_view(m_data + start, length);
        return true;
    }
    m_pos = m_n;
    return false;
}

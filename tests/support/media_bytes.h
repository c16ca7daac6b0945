// Writing media files byte by byte, as their published layouts describe
// them: the sample files and the test table's variants both build on this.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

struct Bytes {
    std::vector<uint8_t> b;
    Bytes& U8(uint32_t v) { b.push_back(static_cast<uint8_t>(v)); return *this; }
    Bytes& Le16(uint32_t v) { return U8(v).U8(v >> 8); }
    Bytes& Le32(uint32_t v) { return Le16(v).Le16(v >> 16); }
    Bytes& Le64(uint64_t v) { return Le32(static_cast<uint32_t>(v)).Le32(static_cast<uint32_t>(v >> 32)); }
    Bytes& Be16(uint32_t v) { return U8(v >> 8).U8(v); }
    Bytes& Be32(uint32_t v) { return Be16(v >> 16).Be16(v); }
    Bytes& Be64(uint64_t v) { return Be32(static_cast<uint32_t>(v >> 32)).Be32(static_cast<uint32_t>(v)); }
    Bytes& Text(const char* s) { return Raw(s, std::strlen(s)); }
    Bytes& Raw(const void* p, size_t n) { b.insert(b.end(), static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n); return *this; }
    Bytes& Add(const std::vector<uint8_t>& v) { b.insert(b.end(), v.begin(), v.end()); return *this; }
    Bytes& Zeros(size_t n) { b.insert(b.end(), n, 0); return *this; }
    size_t Size() const { return b.size(); }
    void SetLe32(size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i)); }
    void SetBe32(size_t at, uint32_t v) { for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i)); }
};

// The same bytes every run, unlike real data in no way that matters here.
inline std::vector<uint8_t> Noise(size_t n, uint32_t seed)
{
    std::vector<uint8_t> v(n);
    uint32_t x = seed * 2654435761u + 1;
    for (uint8_t& c : v) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<uint8_t>(x >> 24);
    }
    return v;
}

// A RIFF chunk: its name, its size, its data and a pad byte after odd data.
inline void RiffChunk(Bytes& r, const char* id, const std::vector<uint8_t>& data)
{
    r.Text(id).Le32(static_cast<uint32_t>(data.size())).Add(data);
    if (data.size() & 1) r.U8(0);
}

// An MP4 box: its size (the eight bytes of heading counted), type and content.
inline std::vector<uint8_t> Box(const char* type, const std::vector<uint8_t>& content)
{
    Bytes b;
    b.Be32(static_cast<uint32_t>(8 + content.size())).Text(type).Add(content);
    return b.b;
}

inline std::vector<uint8_t> Boxes(std::initializer_list<std::vector<uint8_t>> parts)
{
    Bytes b;
    for (const auto& p : parts) b.Add(p);
    return b.b;
}

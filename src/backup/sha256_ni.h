// SHA-256 on the processor's own SHA instructions (SHA-NI), found at run
// time. Pure code, free of <windows.h>: it runs natively in the tests too.
// Only the functions that use those instructions are built for them, so
// the program still starts on a processor without them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// True when this processor has the SHA instructions (and SSE4.1, which the
// block function also uses).
bool HasShaInstructions();

// Hashes whole 64-byte blocks into state; only where HasShaInstructions().
void Sha256NiBlocks(uint32_t state[8], const uint8_t* data, size_t blocks);

// A whole SHA-256 over Sha256NiBlocks: fed in pieces of any size.
class CSha256Ni {
public:
    CSha256Ni() { Begin(); }
    void Begin();
    void Add(const uint8_t* data, size_t size);
    // The digest; Begin again before the next message.
    std::array<uint8_t, 32> Finish();

private:
    uint32_t m_state[8];
    uint8_t m_block[64];
    size_t m_filled = 0;
    uint64_t m_length = 0;  // bytes added so far
};

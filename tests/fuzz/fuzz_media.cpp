// libFuzzer target for the content check: every parser, chosen by the
// file's first bytes or its name. Beside the sanitizers' own checks, the
// finding must not depend on how the bytes were chunked.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "media/content_check.h"
#include "fuzz_media.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

ContentFinding Run(const char* extension, const uint8_t* data, size_t size, uint64_t fileSize, uint8_t pattern)
{
    CContentCheck check(extension, fileSize);
    size_t at = 0;
    uint32_t x = pattern;
    while (at < size) {
        // Chunks from 1 to 64 bytes, and now and then a large one.
        x = x * 1103515245u + 12345u;
        const size_t chunk = pattern == 0 ? size : (x >> 16) % 8 == 0 ? 4096 : 1 + (x >> 16) % 64;
        const size_t n = chunk < size - at ? chunk : size - at;
        check.Feed(data + at, n);
        if (x % 5 == 0)
            check.Feed(data + at, 0);
        at += n;
    }
    return check.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 2)
        return 0;
    const char* extension = kFuzzMediaExtensions[bytes[0] % kFuzzMediaExtensionCount];
    const uint8_t* data = bytes + 2;
    const size_t n = size - 2;

    const ContentFinding whole = Run(extension, data, n, n, 0);
    const ContentFinding chunked = Run(extension, data, n, n, static_cast<uint8_t>(bytes[1] | 1));
    Check(whole.verdict == chunked.verdict && whole.reason == chunked.reason);
    Check((whole.verdict == ContentVerdict::Damaged || whole.verdict == ContentVerdict::Warning) ==
          !whole.reason.empty());

    // Read short of the size it has: always unreadable.
    const ContentFinding cut = Run(extension, data, n, static_cast<uint64_t>(n) + 1, bytes[1]);
    Check(cut.verdict == ContentVerdict::Damaged && cut.reason == kContentUnreadable);
    return 0;
}

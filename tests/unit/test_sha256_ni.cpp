// The processor's SHA-256, natively under the sanitizers: the published
// digests, whole and fed in odd pieces. Skipped where the processor lacks
// the instructions.
#include <gtest/gtest.h>

#include "backup/sha256_ni.h"
#include "support/sha256_vectors.h"

namespace {
std::string Hex(const std::array<uint8_t, 32>& digest) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : digest) text += {kHex[b >> 4], kHex[b & 15]};
    return text;
}
}  // namespace

TEST(Sha256Ni, GivesThePublishedDigests) {
    if (!HasShaInstructions()) GTEST_SKIP() << "this processor has no SHA instructions";
    CSha256Ni sha;
    for (const Sha256Vector& v : Sha256Vectors()) {
        SCOPED_TRACE(v.message.substr(0, 10));
        for (const std::vector<size_t>& pieces : {std::vector<size_t>{v.message.size() + 1},
                                                  std::vector<size_t>{1, 63, 64, 65, 0, 999}}) {
            FeedInPieces(v.message, pieces,
                         [&](const char* data, size_t n) { sha.Add(reinterpret_cast<const uint8_t*>(data), n); });
            EXPECT_EQ(Hex(sha.Finish()), v.digest);
        }
    }
}

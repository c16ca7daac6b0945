// Both hashers of the back-up give the digests the standard publishes and
// agree with each other on every length around the block size, however the
// bytes are fed.
#include <random>
#include <string>

#include "backup/sha256.h"
#include "backup/sha256_ni.h"
#include "support/sha256_vectors.h"
#include "support/test_support.h"

namespace {
std::string HashInPieces(Sha256Engine engine, const std::string& message, const std::vector<size_t>& pieces) {
    CSha256 sha(engine);
    if (!sha.Begin()) return "no hash";
    FeedInPieces(message, pieces, [&](const char* data, size_t n) { sha.Add(data, n); });
    return sha.Finish();
}
}  // namespace

TEST(Sha256, BothHashersGiveThePublishedDigests) {
    ASSERT_TRUE(HasShaInstructions() || !CSha256(Sha256Engine::Processor).Valid());
    if (!HasShaInstructions()) std::printf("This processor has no SHA instructions: only BCrypt is tested.\n");
    for (Sha256Engine engine : {Sha256Engine::System, Sha256Engine::Processor}) {
        if (engine == Sha256Engine::Processor && !HasShaInstructions()) continue;
        CSha256 sha(engine);
        ASSERT_TRUE(sha.Valid());
        EXPECT_EQ(sha.OnProcessor(), engine == Sha256Engine::Processor);
        for (const Sha256Vector& v : Sha256Vectors()) {
            SCOPED_TRACE(v.message.substr(0, 10));
            EXPECT_EQ(HashInPieces(engine, v.message, {v.message.size() + 1}), v.digest);
            EXPECT_EQ(HashInPieces(engine, v.message, {1, 63, 64, 65, 1000}), v.digest);
        }
    }
    // The default takes the fastest there is.
    EXPECT_EQ(CSha256().OnProcessor(), HasShaInstructions());
}

TEST(Sha256, TheProcessorAgreesWithTheSystemOnEveryLength) {
    if (!HasShaInstructions()) GTEST_SKIP() << "this processor has no SHA instructions";
    std::mt19937 random(20261208);
    std::string data(4 * 64 + 1, '\0');
    for (char& c : data) c = static_cast<char>(random());
    for (size_t length = 0; length <= data.size(); ++length) {
        SCOPED_TRACE(length);
        const std::string message = data.substr(0, length);
        const std::string expected = HashInPieces(Sha256Engine::System, message, {length + 1});
        ASSERT_EQ(expected.size(), 64u);
        EXPECT_EQ(HashInPieces(Sha256Engine::Processor, message, {length + 1}), expected);
        EXPECT_EQ(HashInPieces(Sha256Engine::Processor, message, {7, 1, 13, 0, 55}), expected);
    }

    // Begin starts afresh; after Finish nothing more is taken.
    CSha256 sha(Sha256Engine::Processor);
    ASSERT_TRUE(sha.Begin() && sha.Add("xyz", 3) && sha.Begin() && sha.Add("abc", 3));
    EXPECT_EQ(sha.Finish(), Sha256Vectors()[1].digest);
    EXPECT_FALSE(sha.Add("abc", 3));
    EXPECT_EQ(sha.Finish(), "");
}

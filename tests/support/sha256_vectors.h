// The published SHA-256 test vectors (FIPS 180-2, appendix B), shared by
// the tests under Wine and the native ones.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

struct Sha256Vector {
    std::string message;
    const char* digest;
};

inline std::vector<Sha256Vector> Sha256Vectors() {
    return {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
}

// Feeds `message` to add() in pieces of the sizes given, in turn.
template <typename AddFn>
void FeedInPieces(const std::string& message, const std::vector<size_t>& pieces, AddFn add) {
    size_t at = 0;
    for (size_t i = 0; at < message.size(); ++i) {
        const size_t n = std::min(pieces[i % pieces.size()], message.size() - at);
        add(message.data() + at, n);
        at += n;
    }
}

// Writes the content fuzzer's seeds: every good sample file, under its own
// name, into the folder given (made when it is missing).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "fuzz_media.h"
#include "support/media_samples.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_media_corpus FOLDER\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    for (MediaSample kind : AllMediaSamples()) {
        size_t index = 0;
        while (index < kFuzzMediaExtensionCount && std::strcmp(kFuzzMediaExtensions[index], SampleExtension(kind)) != 0)
            ++index;
        std::vector<uint8_t> input = {static_cast<uint8_t>(index), 7};
        const std::vector<uint8_t> file = SampleMedia(kind);
        input.insert(input.end(), file.begin(), file.end());
        const std::string path = std::string(argv[1]) + "/" + std::to_string(static_cast<int>(kind)) + "-" +
                                 SampleExtension(kind);
        std::FILE* out = std::fopen(path.c_str(), "wb");
        bool written = out && std::fwrite(input.data(), 1, input.size(), out) == input.size();
        if (out && std::fclose(out) != 0)
            written = false;
        if (!written) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

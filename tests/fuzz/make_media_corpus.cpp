// Writes the content fuzzer's seeds: every good sample file, under its own
// name, and the files real writers leave that the parsers must take apart
// (sizes left unknown, bytes after the end, tags before another kind),
// into the folder given (made when it is missing).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_media.h"
#include "support/media_samples.h"
#include "support/media_variants.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_media_corpus FOLDER\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(argv[1], error);
    using namespace media_variants;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
    for (MediaSample kind : AllMediaSamples())
        seeds.emplace_back(SampleExtension(kind), SampleMedia(kind));
    seeds.emplace_back("mp3", Join(Mp3NoTag(), Text("\r\n")));
    seeds.emplace_back("mp3", Join(Id3v2(4, 0x10, TitleFrame()), Mp3Frames(6)));
    seeds.emplace_back("mp3", XingMp3(12, 3, false, false, 12));
    seeds.emplace_back("mp3", Join(Id3v2(3, 0, TitleFrame()), Flac()));
    seeds.emplace_back("mp3", Adts(4));
    seeds.emplace_back("wav", Wav(&kUnknown, &kUnknown));
    seeds.emplace_back("wav", Wav(nullptr, nullptr, OddList(true), 401));
    seeds.emplace_back("wma", BroadcastWma(0));
    seeds.emplace_back("avi", Avi({&kZero, &kZero}));
    seeds.emplace_back("mp4", Faststart(true, true));
    seeds.emplace_back("mp4", Fragmented(true));
    seeds.emplace_back("mp4", Ebml("webm"));
    seeds.emplace_back("bmp", RleBmp());
    seeds.emplace_back("tif", TiffStripLast());
    seeds.emplace_back("flac", Flac());
    seeds.emplace_back("flac", Join(Flac(), Text("\r\n")));
    seeds.emplace_back("aac", Join(Id3v2(3, 0, TitleFrame()), Adts(6)));
    seeds.emplace_back("mkv", Matroska());
    MatroskaLayout live;
    live.docType = "webm";
    live.segmentSizeKnown = live.clusterSizeKnown = false;
    live.cuesFirst = true;
    seeds.emplace_back("webm", Matroska(live));
    for (size_t n = 0; n < seeds.size(); ++n) {
        size_t index = 0;
        while (index < kFuzzMediaExtensionCount && seeds[n].first != kFuzzMediaExtensions[index])
            ++index;
        std::vector<uint8_t> input = {static_cast<uint8_t>(index), 7};
        input.insert(input.end(), seeds[n].second.begin(), seeds[n].second.end());
        const std::string path = std::string(argv[1]) + "/" + std::to_string(n) + "-" + seeds[n].first;
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

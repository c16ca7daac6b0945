// libFuzzer target for the reference scan of a show's bytes and for what
// the analysis then does with each reference. libFuzzer hands over a heap
// block of exactly `size` bytes, so any read past the data trips ASan.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "files/classify.h"
#include "files/file_kind.h"
#include "files/path_split.h"
#include "analysis/chunk_scan.h"
#include "analysis/ref_scan.h"
#include "analysis/show_verdict.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The scan spelled out byte by byte, slow and plain, to compare with.
std::vector<std::string_view> SlowReferences(const char* data, size_t n)
{
    std::vector<std::string_view> refs;
    for (size_t c = 1; c + 1 < n; ++c) {
        if (data[c] != ':' || data[c + 1] != '\\' || !IsAsciiLetter(data[c - 1]))
            continue;
        size_t end = c - 1;
        while (end < n && data[end] != '\0' && end - (c - 1) < kMaxReferenceLength)
            ++end;
        refs.emplace_back(data + c - 1, end - (c - 1));
    }
    return refs;
}

void CheckParts(std::string_view ref, const PathParts& parts)
{
    Check(parts.drive.size() == 2 && parts.drive == ref.substr(0, 2));
    Check(parts.dir.size() <= kMaxPathPart && parts.name.size() <= kMaxPathPart &&
          parts.ext.size() <= kMaxPathPart);
    Check(!parts.dir.empty() && parts.dir[0] == '\\');
    Check(parts.ext.empty() || parts.ext[0] == '.');
    Check(parts.name.find_first_of("\\/") == std::string::npos);
    const std::string whole = parts.drive + parts.dir + parts.name + parts.ext;
    if (whole.size() == ref.size())  // nothing was cut
        Check(whole == ref);
    else
        Check(whole.size() < ref.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const char* data = reinterpret_cast<const char*>(bytes);
    const std::vector<std::string_view> expected = SlowReferences(data, size);

    // The show's parts come from the first reference, when there is one, so
    // that green and yellow 1 outcomes are reached too.
    PathParts show = expected.empty() ? SplitPath("C:\\Shows\\Demo\\demo.ws4")
                                      : SplitPath(expected.front());

    size_t count = 0;
    ForEachReference(data, size, [&](std::string_view ref) {
        Check(count < expected.size());
        Check(ref.data() == expected[count].data() && ref.size() == expected[count].size());
        ++count;

        Check(ref.data() >= data && ref.data() + ref.size() <= data + size);
        Check(ref.size() >= 3 && ref.size() <= kMaxReferenceLength);
        Check(IsAsciiLetter(ref[0]) && ref[1] == ':' && ref[2] == '\\');
        Check(std::memchr(ref.data(), '\0', ref.size()) == nullptr);

        const PathParts parts = SplitPath(ref);
        CheckParts(ref, parts);
        const int kind = FileKindOfExtension(parts.ext);
        Check(kind >= kKindShow && kind <= kKindOther);

        const char chDrive = UpperDriveLetter(parts.drive);
        Check(chDrive >= 'A' && chDrive <= 'Z');
        for (int exists : {-1, 0, 1}) {
            const RefColour colour =
                ClassifyReference(exists, parts.drive, parts.dir, show.drive, show.dir);
            Check((colour == RefColour::Red) == (exists == -1));
            if (colour == RefColour::GreenInSubfolder) {
                const std::string text =
                    GreenSubfolderText(parts.dir, parts.name, parts.ext, show.dir);
                Check(text.compare(0, 2, ".\\") == 0);
                Check(IsYellow1(chDrive, show.drive));
            }
        }
        // The fold never grows a reference, keeps its drive and root, and is
        // done after one pass.
        const std::string folded = FoldDotSegments(ref);
        Check(folded.size() <= ref.size());
        Check(folded.compare(0, 3, std::string(ref.substr(0, 2)) + "\\") == 0);
        Check(FoldDotSegments(folded) == folded);
        Check(folded.find("\\..\\") == std::string::npos && folded.find("\\.\\") == std::string::npos);
        for (int exists : {-1, 1}) {
            const ReferencePlace place = PlaceReference(exists, ref, show.drive, show.dir);
            Check((place.colour == RefColour::Red) == (exists == -1));
            Check(place.relativeText.empty() == (place.colour != RefColour::GreenInSubfolder));
        }
        // A show path without a drive letter leaves nothing green.
        Check(ClassifyReference(1, parts.drive, parts.dir, "", show.dir) == RefColour::Yellow);
        Check(!IsYellow1(chDrive, ""));
    });
    Check(count == expected.size());

    // Read in pieces of a size the input chooses, the show gives the same
    // references and network paths as the whole.
    const std::vector<std::string> network = FindNetworkPaths(data, size);
    const size_t chunk = size > 0 ? 1 + static_cast<unsigned char>(data[0]) % 64 * 37 : 1;
    size_t at = 0, chunkedCount = 0;
    std::vector<std::string> chunkedNetwork;
    ScanInChunks(
        chunk,
        [&](char* buffer, size_t max) {
            const size_t n = size - at < max ? size - at : max;
            std::memcpy(buffer, data + at, n);
            at += n;
            return n;
        },
        [&](std::string_view ref) {
            Check(chunkedCount < expected.size() && ref == expected[chunkedCount]);
            ++chunkedCount;
        },
        chunkedNetwork);
    Check(chunkedCount == expected.size());
    Check(chunkedNetwork == network);

    for (const std::string& path : network) {
        Check(path.size() >= 7 && path.size() <= kMaxReferenceLength);
        Check((path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/'));
        Check(path[2] != '\\' && path[2] != '/');
        Check(path.find('\0') == std::string::npos);
    }
    return 0;
}

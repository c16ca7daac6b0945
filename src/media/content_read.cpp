#include "media/content_read.h"

#include <windows.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "common/text.h"
#include "common/win_raii.h"
#include "files/path_split.h"
#include "services/run_log.h"

namespace {
uint64_t Ticks(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// A file's name and size: what a file moved or copied by a repair keeps.
std::string NameAndSize(const std::string& path, int64_t size) {
    const PathParts parts = SplitPath(path);
    return UpperCasedAscii(parts.name + parts.ext) + "|" + std::to_string(size);
}

}  // namespace

CContentReader::CContentReader() : m_buffer(kChunkBytes) {}

bool CContentReader::Check(const std::string& path, CheckedFile& found, const ContentProgressFn& progress) {
    std::string ext = SplitPath(path).ext;
    if (!ext.empty()) ext.erase(0, 1);

    // Others may go on reading and writing it: the check only looks.
    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // Size and time by the two plain queries: the one call that gives both
    // also asks the volume for its serial number, for every file.
    LARGE_INTEGER length{};
    FILETIME written{};
    if (!file || !::GetFileSizeEx(file.get(), &length) || !::GetFileTime(file.get(), nullptr, nullptr, &written)) {
        found = CheckedFileOf(path, ContentFinding{ContentVerdict::Damaged, kContentUnreadable});
        return true;
    }
    const uint64_t size = static_cast<uint64_t>(length.QuadPart);
    CContentCheck check(ext, size);
    uint64_t done = 0;
    while (done < size) {
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(size - done, m_buffer.size()));
        DWORD got = 0;
        // A read that fails or a file that ends early: the check sees fewer
        // bytes than the size and calls the file unreadable.
        if (!::ReadFile(file.get(), m_buffer.data(), want, &got, nullptr) || got == 0) break;
        check.Feed(m_buffer.data(), got);
        done += got;
        if (progress && !progress(done)) return false;
    }
    found = CheckedFileOf(path, check.Finish());
    found.size = static_cast<int64_t>(size);
    found.written = Ticks(written);
    return true;
}

bool FileStampOf(const std::string& path, int64_t& size, uint64_t& written) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    size = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    written = Ticks(data.ftLastWriteTime);
    return true;
}

void KeepFindingsThatHold(std::vector<CheckedFile>& findings, const std::vector<std::string>& files) {
    std::unordered_set<std::string> named;
    for (const std::string& f : files) named.insert(UpperCasedAscii(f));
    std::vector<CheckedFile> kept, unnamed;
    std::unordered_set<std::string> withFinding;
    for (CheckedFile& f : findings) {
        if (!named.count(UpperCasedAscii(f.path))) {
            unnamed.push_back(std::move(f));
            continue;
        }
        int64_t size = -1;
        uint64_t written = 0;
        // A file that could not be read has no stamp: it holds while the
        // show names it and it is still there, until it is read again.
        const bool same = f.size < 0 ? FileStampOf(f.path, size, written)
                                     : FileStampOf(f.path, size, written) && size == f.size && written == f.written;
        if (!same) continue;
        withFinding.insert(UpperCasedAscii(f.path));
        kept.push_back(std::move(f));
    }
    // A repair moves or copies a file and Wings names it at its new place:
    // a damaged file must not come out whole that way. Its finding goes
    // with a newly named file of the same name and size.
    if (!unnamed.empty()) {
        std::unordered_map<std::string, std::pair<std::string, uint64_t>> newlyNamed;
        for (const std::string& path : files) {
            int64_t size = -1;
            uint64_t written = 0;
            if (!withFinding.count(UpperCasedAscii(path)) && FileStampOf(path, size, written))
                newlyNamed.emplace(NameAndSize(path, size), std::make_pair(path, written));
        }
        for (CheckedFile& f : unnamed) {
            const auto it = f.size < 0 ? newlyNamed.end() : newlyNamed.find(NameAndSize(f.path, f.size));
            if (it == newlyNamed.end()) continue;
            f.path = it->second.first;
            f.written = it->second.second;
            kept.push_back(std::move(f));
            newlyNamed.erase(it);
        }
    }
    findings = std::move(kept);
}

const char kLogContentStart[] = "Start nakijken bestanden";

void LogFinding(const CheckedFile& file) {
    if (file.content == FileContent::Damaged || file.content == FileContent::Warning)
        LogValue(ContentWord(file.content), FindingText(file));
}

void LogContentEnd(const ContentCounts& c, bool stopped) {
    if (stopped) LogLine("Nakijken gestopt");
    LogNumber("aantal gelezen", c.read);
    LogNumber("aantal beschadigd", c.damaged);
    LogNumber("aantal let op", c.warnings);
    LogNumber("aantal niet te beoordelen", c.notJudged);
    LogLine("Einde nakijken bestanden");
}

std::vector<CheckedFile> CheckFiles(const std::vector<std::string>& files) {
    LogLine(kLogContentStart);
    CContentReader reader;
    ContentCounts counts;
    std::vector<CheckedFile> found(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        reader.Check(files[i], found[i]);
        counts.Add(found[i]);
        LogFinding(found[i]);
    }
    LogContentEnd(counts, false);
    return found;
}

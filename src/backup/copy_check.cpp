#include "backup/copy_check.h"

#include <windows.h>

#include <set>

#include "analysis/ref_scan.h"
#include "analysis/show_copy.h"
#include "backup/backup_disk.h"
#include "common/text.h"
#include "common/wide_text.h"
#include "files/file_helpers.h"
#include "media/content_read.h"
#include "services/run_log.h"

using namespace backup;

namespace {
// A place below the copy as the content check opens it (code page, or the
// short name of a folder the code page cannot spell).
std::string Openable(const std::string& utf8) { return CodePagePathOf(WideFromUtf8(utf8)); }

// The size of the file, or -1 when there is none (a folder is none).
int64_t SizeOf(const std::string& codePagePath) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(Wide(Utf8FromCodePage(codePagePath)).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool Present(const std::string& codePagePath) { return SizeOf(codePagePath) >= 0; }

struct Place {
    std::string relative;  // below the copy, UTF-8
    std::string path;      // as the content check opens it
    int64_t size = -1;     // -1: not there
};
// Every place the copied shows name, each once, in their order; a show
// that cannot be read is missing, a name outside the copy is told apart.
std::vector<Place> PlacesNamed(const CheckTarget& target, const std::string& copy, ShowCopyResult& result) {
    std::vector<Place> places;
    std::set<std::string> seenPlaces, seenOutside;
    for (const std::string& show : target.shows) {
        std::string bytes;
        if (copy.empty() || !ReadFileText(target.folder + show, bytes)) {
            result.missing.push_back(show);
            LogValue("onleesbaar", Shown(target.folder + show));
            continue;
        }
        result.shows.push_back(show);
        LogValue("show", Shown(show));
        std::vector<std::string> refs;
        ForEachReference(bytes.data(), bytes.size(), [&](std::string_view ref) { refs.emplace_back(ref); });
        const ShowCopyMap map = MapShowCopy(refs, copy, &Present);
        if (!map.oldFolder.empty()) LogValue("oude map", map.oldFolder);
        for (const std::string& ref : refs) {
            const std::string place = PlaceInCopy(ref, map.oldFolder, copy);
            if (place.empty()) {
                if (seenOutside.insert(UpperCasedAscii(ref)).second) result.outside.push_back(ref);
                continue;
            }
            if (!seenPlaces.insert(UpperCasedAscii(place)).second) continue;
            places.push_back({Utf8FromCodePage(place.substr(copy.size())), place, SizeOf(place)});
        }
    }
    return places;
}

// Each place read once through the content check.
int64_t ReadPlaces(const std::vector<Place>& places, const BackupProgressFn& progress, ShowCopyResult& result) {
    CContentReader reader;
    int64_t done = 0;
    for (const Place& place : places) {
        if (progress && !progress(place.relative, done)) {
            result.stopped = true;
            return done;
        }
        if (place.size < 0) {
            result.missing.push_back(Shown(place.relative));
            LogValue("ontbreekt", place.path);
            continue;
        }
        CheckedFile found;
        const int64_t before = done;
        const bool read = reader.Check(place.path, found, [&](uint64_t bytes) {
            return !progress || progress(place.relative, before + static_cast<int64_t>(bytes));
        });
        if (!read) {
            result.stopped = true;
            return done;
        }
        done = before + place.size;
        if (found.content == FileContent::Damaged) {
            result.damaged.push_back(Shown(place.relative) + " (" + found.reason + ")");
            LogValue("beschadigd", place.path + " (" + found.reason + ")");
        } else {
            ++result.whole;
            if (found.content == FileContent::NotJudged) ++result.notJudged;
        }
    }
    return done;
}
}  // namespace

ShowCopyResult CheckShowCopy(const CheckTarget& target, const BackupProgressFn& progress,
                             const std::function<void(int64_t)>& total) {
    ShowCopyResult result;
    LogLine("Start controle kopie");
    LogValue("map", Shown(target.folder));
    const std::string copy = Openable(target.folder);
    const std::vector<Place> places = PlacesNamed(target, copy, result);
    result.named = static_cast<int>(places.size() + result.outside.size());
    for (const std::string& ref : result.outside) LogValue("buiten de map", ref);

    int64_t bytes = 0;
    for (const Place& place : places) bytes += place.size > 0 ? place.size : 0;
    if (total) total(bytes);

    const int64_t done = ReadPlaces(places, progress, result);
    LogNumber("genoemd      ", result.named);
    LogNumber("ontbreekt    ", static_cast<int32_t>(result.missing.size() + result.outside.size()));
    LogNumber("beschadigd   ", static_cast<int32_t>(result.damaged.size()));
    if (result.stopped) LogLine("Controle gestopt");
    const std::string verdict = ShowCopyText(result, std::string());
    LogValue("uitslag", verdict.substr(0, verdict.find('\n')));
    LogLine("Einde controle kopie");
    if (progress) progress(std::string(), done);
    return result;
}

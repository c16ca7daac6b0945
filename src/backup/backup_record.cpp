#include "backup/backup_record.h"

#include <cstdio>

#include "common/text.h"

namespace {
constexpr char kBom[] = "\xEF\xBB\xBF";
// The first line says what the file is; a record is known by it.
constexpr char kFirstLine[] = "Zekerpad back-up";
constexpr char kShowKey[] = "Map van de show: ";
constexpr uint64_t kTicksPerSecond = 10000000;
// From 1601-01-01, where the system counts from, to 1970-01-01.
constexpr int64_t kDaysFrom1601To1970 = 134774;

// Days since 1970-01-01 as a date of the proleptic Gregorian calendar.
void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

int64_t DaysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yoe = year - era * 400;
    const int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool Digits(std::string_view text, size_t from, size_t count, uint64_t& value) {
    if (from + count > text.size()) return false;
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    return true;
}

bool ParseNumber(std::string_view text, int64_t& value) {
    if (text.empty() || text.size() > 18) return false;
    uint64_t v = 0;
    if (!Digits(text, 0, text.size(), v)) return false;
    value = static_cast<int64_t>(v);
    return true;
}

bool IsLowerHex(std::string_view text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::string WithoutTrailingBackslash(std::string_view folder) {
    if (!folder.empty() && folder.back() == '\\') folder.remove_suffix(1);
    return std::string(folder);
}
}  // namespace

std::string FormatRecordTime(uint64_t ticks) {
    const uint64_t seconds = ticks / kTicksPerSecond;
    const int64_t days = static_cast<int64_t>(seconds / 86400) - kDaysFrom1601To1970;
    const unsigned inDay = static_cast<unsigned>(seconds % 86400);
    int year = 0, month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02u:%02u:%02u.%07u", year, month, day, inDay / 3600,
                  inDay / 60 % 60, inDay % 60, static_cast<unsigned>(ticks % kTicksPerSecond));
    return text;
}

std::optional<uint64_t> ParseRecordTime(std::string_view text) {
    // "YYYY-MM-DD hh:mm:ss.fffffff"
    if (text.size() != 27 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':' || text[19] != '.')
        return std::nullopt;
    uint64_t year, month, day, hour, minute, second, fraction;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
        !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) || !Digits(text, 17, 2, second) ||
        !Digits(text, 20, 7, fraction))
        return std::nullopt;
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const int64_t days = DaysFromCivil(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)) +
                         kDaysFrom1601To1970;
    const uint64_t seconds = static_cast<uint64_t>(days) * 86400 + hour * 3600 + minute * 60 + second;
    return seconds * kTicksPerSecond + fraction;
}

std::string FormatBackupRecord(const BackupRecord& record) {
    std::string text = kBom;
    text += kFirstLine;
    text += "\r\n";
    text += kShowKey + record.showFolder + "\r\n";
    text += "Deze back-upmap hoort bij die show. Per bestand: pad, grootte in bytes, tijd van de laatste "
            "wijziging (UTC) en de SHA-256-controlesom van de kopie, gescheiden door tabs.\r\n";
    text += "\r\n";
    for (const BackupRecordFile& f : record.files)
        text += f.relative + "\t" + std::to_string(f.size) + "\t" + FormatRecordTime(f.writeTime) + "\t" + f.sha256 +
                "\r\n";
    return text;
}

std::optional<BackupRecord> ParseBackupRecord(std::string_view text) {
    if (text.substr(0, 3) == std::string_view(kBom, 3)) text.remove_prefix(3);
    BackupRecord record;
    bool first = true;
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kFirstLine) return std::nullopt;
            first = false;
            continue;
        }
        const std::string_view key(kShowKey);
        if (record.showFolder.empty() && line.substr(0, key.size()) == key) {
            record.showFolder = std::string(line.substr(key.size()));
            continue;
        }
        // path \t size \t time \t hash; anything else is a note.
        const size_t t3 = line.rfind('\t');
        if (t3 == std::string_view::npos || t3 == 0) continue;
        const size_t t2 = line.rfind('\t', t3 - 1);
        if (t2 == std::string_view::npos || t2 == 0) continue;
        const size_t t1 = line.rfind('\t', t2 - 1);
        if (t1 == std::string_view::npos || t1 == 0) continue;
        BackupRecordFile file;
        file.relative = std::string(line.substr(0, t1));
        const std::string_view hash = line.substr(t3 + 1);
        const std::optional<uint64_t> time = ParseRecordTime(line.substr(t2 + 1, t3 - t2 - 1));
        if (!ParseNumber(line.substr(t1 + 1, t2 - t1 - 1), file.size) || !time || hash.size() != 64 ||
            !IsLowerHex(hash))
            continue;
        file.writeTime = *time;
        file.sha256 = std::string(hash);
        record.files.push_back(std::move(file));
    }
    if (first || record.showFolder.empty()) return std::nullopt;
    return record;
}

std::string BackupRecordName(const std::string& folderName) { return folderName + " - Zekerpad-back-up.txt"; }

std::string OlderVersionsName(const std::string& folderName) { return folderName + " oudere versies"; }

std::string OlderVersionsStamp(int year, int month, int day, int hour, int minute) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d.%02d", year, month, day, hour, minute);
    return text;
}

std::string BackupTempName(uint32_t number) {
    char name[24];
    std::snprintf(name, sizeof name, "~zk%08X.tmp", static_cast<unsigned>(number));
    return name;
}

bool IsBackupTempName(std::string_view name) {
    if (name.size() != 15 || name.substr(0, 3) != "~zk" || name.substr(11) != ".tmp") return false;
    for (char c : name.substr(3, 8))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

std::string LongPath(const std::string& path) {
    if (path.compare(0, 4, "\\\\?\\") == 0) return path;
    if (path.compare(0, 2, "\\\\") == 0) return "\\\\?\\UNC\\" + path.substr(2);
    return "\\\\?\\" + path;
}

bool SameFolderText(std::string_view a, std::string_view b) {
    return EqualsNoCaseAscii(WithoutTrailingBackslash(a), WithoutTrailingBackslash(b));
}

BackupFolderChoice ChooseBackupFolder(const std::string& showName, const std::string& showFolder,
                                      const std::function<BackupFolderState(const std::string& name)>& look) {
    BackupFolderChoice choice;
    for (int n = 1; n <= kMaxBackupFolderNumber; ++n) {
        const std::string name = n == 1 ? showName : showName + " (" + std::to_string(n) + ")";
        const BackupFolderState state = look(name);
        if (state.recordShow) {
            if (SameFolderText(*state.recordShow, showFolder)) {
                choice.name = name;
                return choice;
            }
            if (n == 1) choice.takenBy = true;
            continue;
        }
        const bool full = state.folderExists && !state.folderEmpty;
        // Only the show's own name is worth a question: an earlier back-up
        // made without a record. A numbered one is somebody else's.
        if (full && n > 1) continue;
        choice.name = name;
        choice.needsConsent = full;
        return choice;
    }
    return choice;
}

#include "backup/backup_record.h"

#include <cstdint>
#include <cstdio>

#include "common/text.h"

namespace {
constexpr char kBom[] = "\xEF\xBB\xBF";
// The first line says what the file is; a record is known by it.
constexpr char kFirstLine[] = "Zekerpad back-up";
constexpr char kShowKey[] = "Map van de show: ";
constexpr char kRunKey[] = "Laatste back-up: ";
constexpr char kRunComplete[] = "volledig";
constexpr char kRunIncomplete[] = "niet volledig";
// "Einde van het overzicht: 3 bestandsregels, SHA-256 van alles hierboven: <64 hex>"
constexpr char kSealKey[] = "Einde van het overzicht: ";
constexpr char kSealMiddle[] = " bestandsregels, SHA-256 van alles hierboven: ";
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
    // "YYYY-MM-DD hh:mm:ss.fffffff"; the system's times reach the year
    // 60056, so a year may have five digits.
    const size_t y = text.size() == 28 ? 5 : 4;
    if (text.size() != 23 + y || text[y] != '-' || text[y + 3] != '-' || text[y + 6] != ' ' ||
        text[y + 9] != ':' || text[y + 12] != ':' || text[y + 15] != '.')
        return std::nullopt;
    uint64_t year, month, day, hour, minute, second, fraction;
    if (!Digits(text, 0, y, year) || !Digits(text, y + 1, 2, month) || !Digits(text, y + 4, 2, day) ||
        !Digits(text, y + 7, 2, hour) || !Digits(text, y + 10, 2, minute) || !Digits(text, y + 13, 2, second) ||
        !Digits(text, y + 16, 7, fraction))
        return std::nullopt;
    if (year < 1601 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    const int64_t days = DaysFromCivil(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)) +
                         kDaysFrom1601To1970;
    const uint64_t seconds = static_cast<uint64_t>(days) * 86400 + hour * 3600 + minute * 60 + second;
    // Past what 64 bits of ticks hold: no time the system could have written.
    if (seconds > (UINT64_MAX - fraction) / kTicksPerSecond) return std::nullopt;
    return seconds * kTicksPerSecond + fraction;
}

std::string FormatBackupRecord(const BackupRecord& record, const RecordChecksumFn& checksum) {
    std::string text = kBom;
    text += kFirstLine;
    text += "\r\n";
    text += kShowKey + record.showFolder + "\r\n";
    text += kRunKey;
    if (record.lastRun == RecordedRun::Complete)
        text += kRunComplete;
    else
        text += std::string(kRunIncomplete) + " (" +
                (record.incompleteReason.empty() ? std::string("onbekend") : record.incompleteReason) + ")";
    text += "\r\n";
    text += "Deze back-upmap hoort bij die show. Per bestand: pad, grootte in bytes, tijd van de laatste "
            "wijziging (UTC) en de SHA-256-controlesom van de kopie, gescheiden door tabs.\r\n";
    text += "\r\n";
    for (const BackupRecordFile& f : record.files)
        text += f.relative + "\t" + std::to_string(f.size) + "\t" + FormatRecordTime(f.writeTime) + "\t" + f.sha256 +
                "\r\n";
    const std::string sum = checksum(text);
    text += kSealKey + std::to_string(record.files.size()) + kSealMiddle + sum + "\r\n";
    return text;
}

namespace {
// Marks the record damaged; the first reason found is the one told.
void Damage(BackupRecord& record, const char* reason) {
    if (!record.damaged) record.damage = reason;
    record.damaged = true;
}

constexpr char kChanged[] = "een regel is veranderd of beschadigd";
constexpr char kCut[] = "het is afgebroken";

// The run line's value: "volledig", or "niet volledig (reason)".
void ParseRunLine(std::string_view value, BackupRecord& record) {
    const std::string_view incomplete(kRunIncomplete);
    if (value == kRunComplete) {
        record.lastRun = RecordedRun::Complete;
    } else if (value.substr(0, incomplete.size()) == incomplete) {
        record.lastRun = RecordedRun::Incomplete;
        value.remove_prefix(incomplete.size());
        if (value.size() >= 3 && value.substr(0, 2) == " (" && value.back() == ')')
            record.incompleteReason = std::string(value.substr(2, value.size() - 3));
    } else {
        Damage(record, kChanged);
    }
}

// "<n> bestandsregels, SHA-256 van alles hierboven: <hex>"
bool ParseSeal(std::string_view value, size_t& lines, std::string& checksum) {
    const size_t middle = value.find(kSealMiddle);
    int64_t count = 0;
    if (middle == std::string_view::npos || !ParseNumber(value.substr(0, middle), count)) return false;
    const std::string_view hash = value.substr(middle + std::string_view(kSealMiddle).size());
    if (hash.size() != 64 || !IsLowerHex(hash)) return false;
    lines = static_cast<size_t>(count);
    checksum = std::string(hash);
    return true;
}

// path \t size \t time \t hash
bool ParseFileLine(std::string_view line, BackupRecordFile& file) {
    const size_t t3 = line.rfind('\t');
    if (t3 == std::string_view::npos || t3 == 0) return false;
    const size_t t2 = line.rfind('\t', t3 - 1);
    if (t2 == std::string_view::npos || t2 == 0) return false;
    const size_t t1 = line.rfind('\t', t2 - 1);
    if (t1 == std::string_view::npos || t1 == 0) return false;
    file.relative = std::string(line.substr(0, t1));
    const std::string_view hash = line.substr(t3 + 1);
    const std::optional<uint64_t> time = ParseRecordTime(line.substr(t2 + 1, t3 - t2 - 1));
    if (!ParseNumber(line.substr(t1 + 1, t2 - t1 - 1), file.size) || !time || hash.size() != 64 || !IsLowerHex(hash))
        return false;
    file.writeTime = *time;
    file.sha256 = std::string(hash);
    return true;
}
}  // namespace

std::optional<BackupRecord> ParseBackupRecord(std::string_view whole) {
    std::string_view text = whole;
    if (text.substr(0, 3) == std::string_view(kBom, 3)) text.remove_prefix(3);
    BackupRecord record;
    bool first = true;
    bool badLine = false;
    bool sealed = false;
    bool runSeen = false;
    bool headerEnded = false;  // the empty line above the file lines
    size_t sealLines = 0;
    // A record of today ends every line, the last one too.
    if (!text.empty() && text.back() != '\n') Damage(record, kCut);
    while (!text.empty()) {
        const size_t offset = whole.size() - text.size();
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kFirstLine) return std::nullopt;
            first = false;
            continue;
        }
        if (sealed) {
            // Nothing belongs after the seal.
            Damage(record, kChanged);
            break;
        }
        if (line.empty()) headerEnded = true;
        const std::string_view key(kShowKey), run(kRunKey), seal(kSealKey);
        if (record.showFolder.empty() && line.substr(0, key.size()) == key) {
            record.showFolder = std::string(line.substr(key.size()));
            continue;
        }
        if (!runSeen && line.substr(0, run.size()) == run) {
            runSeen = true;
            ParseRunLine(line.substr(run.size()), record);
            continue;
        }
        // A file line has tabs; a file may be named like the seal.
        if (line.substr(0, seal.size()) == seal && line.find('\t') == std::string_view::npos) {
            sealed = true;
            record.sealedLength = offset;
            if (!ParseSeal(line.substr(seal.size()), sealLines, record.sealChecksum)) Damage(record, kChanged);
            continue;
        }
        BackupRecordFile file;
        if (ParseFileLine(line, file))
            record.files.push_back(std::move(file));
        else if (line.find('\t') != std::string_view::npos)
            badLine = true;  // a file line, but damaged; anything else is a note
    }
    if (first) return std::nullopt;
    // Records that say how their run ended also end with a seal: one
    // without it was cut short. A record of an earlier version says
    // neither, but its head always ends in an empty line: one that stops
    // before it was cut after its first lines, not written so.
    if (record.showFolder.empty() || (!runSeen && !headerEnded))
        Damage(record, "het houdt op na de eerste regels");
    if (runSeen && !sealed) Damage(record, kCut);
    if (sealed && (badLine || sealLines != record.files.size())) Damage(record, kChanged);
    return record;
}

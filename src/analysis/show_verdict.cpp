#include "analysis/show_verdict.h"

#include <cctype>
#include <cstring>

#include "files/path_split.h"
#include "analysis/ref_scan.h"

Verdict VerdictOfCounts(int32_t red, int32_t yellow, int32_t green, size_t networkPaths, int32_t damaged) {
    if (red > 0) return Verdict::Red;
    // A damaged file fails at the show as a missing one does, but the
    // repair is another: a good copy put back.
    if (damaged > 0) return Verdict::Damaged;
    if (yellow > 0) return Verdict::Yellow;
    if (networkPaths > 0) return Verdict::Network;
    if (green <= 0) return Verdict::NoNames;
    return Verdict::Green;
}

LitLamp LampOfVerdict(Verdict verdict) {
    if (verdict == Verdict::Green) return LitLamp::Green;
    // A damaged file will not play, as a missing one.
    if (verdict == Verdict::Red || verdict == Verdict::Damaged) return LitLamp::Red;
    if (verdict == Verdict::NoNames || verdict == Verdict::Unreadable) return LitLamp::None;
    return LitLamp::Yellow;
}

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A byte that may stand in the name of a server or a share.
bool IsNameByte(char c) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    return std::strchr("\\/:*?\"<>|", c) == nullptr;
}

// The end of a server's or share's name that starts at from: the position
// of the separator after it, or 0 when the name is empty or ends otherwise
// before limit.
size_t NameEnd(const char* data, size_t limit, size_t from) {
    size_t i = from;
    while (i < limit && IsNameByte(data[i])) ++i;
    return i > from && i < limit && IsSeparator(data[i]) ? i : 0;
}

// The text at from starts with word, ASCII letters folded, before limit.
bool HasWordAt(const char* data, size_t limit, size_t from, const char* word) {
    const size_t length = std::strlen(word);
    if (from + length > limit) return false;
    for (size_t i = 0; i < length; ++i) {
        char c = data[from + i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        char w = word[i];
        if (w >= 'a' && w <= 'z') w = static_cast<char>(w - 'a' + 'A');
        if (c != w) return false;
    }
    return true;
}

// Whether the two separators at `at` begin a path that leaves the show's
// drives: a server and a share ("\\nas\media\x", "//nas/media/x"), the
// same behind the prefixes "\\?\UNC\" and "\\.\UNC\", or a volume named by
// its GUID ("\\?\Volume{...}\x"). Other names behind "\\?\" or "\\.\" (a
// drive, "pipe") are no network path. Everything is decided within the
// path's first kMaxReferenceLength characters, the most a path is given.
bool StartsNetworkPath(const char* data, size_t n, size_t at) {
    const size_t limit = n - at < kMaxReferenceLength ? n : at + kMaxReferenceLength;
    size_t server = at + 2;
    if (server + 1 < limit && (data[server] == '?' || data[server] == '.') && IsSeparator(data[server + 1])) {
        const size_t name = server + 2;
        if (HasWordAt(data, limit, name, "UNC") && name + 3 < limit && IsSeparator(data[name + 3])) {
            server = name + 4;
        } else if (HasWordAt(data, limit, name, "Volume{")) {
            size_t close = name + 7;
            while (close < limit && (std::isxdigit(static_cast<unsigned char>(data[close])) || data[close] == '-'))
                ++close;
            return close + 2 < limit && data[close] == '}' && IsSeparator(data[close + 1]) &&
                   data[close + 2] != '\0';
        } else {
            return false;
        }
    }
    const size_t serverEnd = NameEnd(data, limit, server);
    if (serverEnd == 0) return false;
    const size_t shareEnd = NameEnd(data, limit, serverEnd + 1);
    return shareEnd != 0 && shareEnd + 1 < limit && data[shareEnd + 1] != '\0';
}

}  // namespace

size_t CNetworkPathFinder::Feed(const char* data, size_t n, bool last, std::vector<std::string>& found) {
    size_t p = 0;
    for (; p < n; m_prev = data[p], ++p) {
        const char c = data[p];
        if (m_skipping) {
            // The rest of this text belongs to the path just taken.
            if (c == '\0') m_skipping = m_inDriveReference = false;
            continue;
        }
        if (c == '\0') {
            m_inDriveReference = false;
            continue;
        }
        if (c != ':' && !IsSeparator(c)) continue;
        if (p + 1 >= n && !last) break;  // the next byte decides
        const bool pair = p + 1 < n && IsSeparator(data[p + 1]);
        if (c == ':') {
            // A drive-letter path ("C:\", "C:/", and so "http://"): a double
            // separator later in its text belongs to it.
            if (IsAsciiLetter(m_prev) && p + 1 < n && IsSeparator(data[p + 1])) m_inDriveReference = true;
            continue;
        }
        // Only the first of a run of separators can begin a network path.
        if (!pair || IsSeparator(m_prev) || m_inDriveReference) continue;
        if (!last && n - p < kMaxReferenceLength) break;  // decided within the next 1000 bytes
        if (!StartsNetworkPath(data, n, p)) continue;
        const void* zero = std::memchr(data + p, '\0', n - p);
        const size_t end = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : n;
        found.emplace_back(data + p, end - p < kMaxReferenceLength ? end - p : kMaxReferenceLength);
        m_skipping = true;
    }
    return p;
}

std::vector<std::string> FindNetworkPaths(const char* data, size_t n) {
    std::vector<std::string> found;
    if (!data) return found;
    CNetworkPathFinder().Feed(data, n, true, found);
    return found;
}

std::string AnalysisNotes(int32_t red, int32_t yellow, int32_t green, const std::vector<std::string>& networkPaths) {
    if (networkPaths.empty())
        return VerdictOfCounts(red, yellow, green, 0) == Verdict::NoNames
                   ? "In deze show is geen enkele bestandsnaam gevonden. Is dit wel een Wings-show?\n"
                   : std::string();
    // The path on a line of its own: broken at a line's end it would be hard to read.
    const size_t n = networkPaths.size();
    return "Let op: de show verwijst " + std::to_string(n) +
           " keer naar een bestand op het netwerk. Een kopie van de map van de show neemt zulke bestanden niet mee; "
           "zet ze in de map van de show en laat Wings ze daar opnieuw zoeken.\n" +
           (n == 1 ? "Het bestand: " : "Het eerste: ") + networkPaths.front() + "\n";
}

std::string DeviceNameNote(const std::vector<std::string>& redPaths) {
    size_t n = 0;
    const std::string* first = nullptr;
    for (const std::string& path : redPaths) {
        if (!NamesDevice(path)) continue;
        if (!first) first = &path;
        ++n;
    }
    if (n == 0) return std::string();
    // Names such as aux.wav are ordinary on other systems, where show media
    // often come from: say what to do about them.
    const std::string what = n == 1 ? "Let op: dit rode bestand heeft" : "Let op: " + std::to_string(n) + " rode bestanden hebben";
    return what + " in het pad een naam die Windows voor een apparaat gebruikt (CON, PRN, AUX, NUL, COM1 tot en met "
                  "COM9 of LPT1 tot en met LPT9, ook met een extensie erachter). Windows opent dan het apparaat en niet "
                  "het bestand. Geef " + (n == 1 ? "het bestand of de map" : "die bestanden of mappen") +
           " een andere naam en laat Wings " + (n == 1 ? "het" : "ze") + " opnieuw zoeken. " +
           (n == 1 ? "Het bestand:\n" : "Het eerste:\n") + *first + "\n";
}

std::string DamageNote(const std::vector<CheckedFile>& checked) {
    size_t n = 0;
    const std::string* first = nullptr;
    for (const CheckedFile& file : checked) {
        if (file.content != FileContent::Damaged) continue;
        if (!first) first = &file.path;
        ++n;
    }
    if (n == 0) return std::string();
    if (n == 1)
        return "Let op: bij het nakijken bleek dit bestand beschadigd:\n" + *first +
               "\nZet een goede kopie terug en kijk de bestanden opnieuw na.\n";
    return "Let op: bij het nakijken bleken " + std::to_string(n) + " bestanden beschadigd:\n" + *first + " en nog " +
           std::to_string(n - 1) + "\nZet van elk een goede kopie terug en kijk de bestanden opnieuw na.\n";
}

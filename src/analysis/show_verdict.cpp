#include "analysis/show_verdict.h"

#include <cstring>

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

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A byte that may stand in the name of a server or a share.
bool IsNameByte(char c) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    return std::strchr("\\/:*?\"<>|", c) == nullptr;
}

// The end of a server's or share's name that starts at from: the position
// of the backslash after it, or 0 when the name is empty or ends otherwise.
size_t NameEnd(const char* data, size_t n, size_t from) {
    size_t i = from;
    while (i < n && IsNameByte(data[i])) ++i;
    return i > from && i < n && data[i] == '\\' ? i : 0;
}

}  // namespace

std::vector<std::string> FindNetworkPaths(const char* data, size_t n) {
    std::vector<std::string> found;
    if (!data) return found;
    // What lies before pos: whether the text that pos is in (since the last
    // zero byte) already holds a drive-letter reference. Each byte is looked
    // at once, and only up to the last double backslash.
    size_t seen = 0;
    bool inDriveReference = false;
    size_t pos = 0;
    while (pos + 1 < n) {
        const void* hit = std::memchr(data + pos, '\\', n - pos);
        if (!hit) break;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - data);
        if (at + 1 >= n || data[at + 1] != '\\' || (at > 0 && data[at - 1] == '\\')) {
            pos = at + 1;
            continue;
        }
        for (; seen < at; ++seen) {
            if (data[seen] == '\0')
                inDriveReference = false;
            else if (data[seen] == ':' && seen > 0 && IsAsciiLetter(data[seen - 1]) && data[seen + 1] == '\\')
                inDriveReference = true;
        }
        pos = at + 2;
        if (inDriveReference) continue;
        const size_t serverEnd = NameEnd(data, n, at + 2);
        if (serverEnd == 0) continue;
        if (serverEnd == at + 3 && (data[at + 2] == '?' || data[at + 2] == '.')) continue;
        const size_t shareEnd = NameEnd(data, n, serverEnd + 1);
        if (shareEnd == 0 || shareEnd + 1 >= n || data[shareEnd + 1] == '\0') continue;
        const void* zero = std::memchr(data + at, '\0', n - at);
        const size_t end = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : n;
        const size_t length = end - at < kMaxReferenceLength ? end - at : kMaxReferenceLength;
        found.emplace_back(data + at, length);
        // The rest of this text belongs to the path just taken.
        pos = end;
    }
    return found;
}

std::string AnalysisNotes(int32_t red, int32_t yellow, int32_t green, const std::vector<std::string>& networkPaths) {
    if (networkPaths.empty())
        return VerdictOfCounts(red, yellow, green, 0) == Verdict::NoNames
                   ? "In deze show is geen enkele bestandsnaam gevonden. Is dit wel een Wings-show?\n"
                   : std::string();
    // The path on a line of its own: broken at a line's end it would be hard to read.
    const size_t n = networkPaths.size();
    return "Let op: de show noemt " + std::to_string(n) +
           " keer een bestand op het netwerk, dat een kopie van de map van de show niet meeneemt. " +
           (n == 1 ? "Het bestand:\n" : "Het eerste:\n") + networkPaths.front() + "\n";
}

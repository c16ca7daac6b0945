// Whether a show gets green light: copying its folder must copy every
// file it plays. Counts alone cannot tell: a show in which no file name
// is found at all (empty, cut short by a crashed save, or no show) has
// nothing red or yellow either, and a file on a network share is never
// seen by the analysis, which takes only paths that start with a drive
// letter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// In the order a list sorted by verdict shows them: the best first.
enum class Verdict {
    Green,
    Yellow,
    Network,     // nothing red or yellow, but files on a network share
    Damaged,     // nothing red, but files "Bestanden nakijken" found damaged
    Red,
    NoNames,     // not one file name found in the show
    Unreadable,  // the show itself could not be read
};

// The verdict of a completed analysis from its counts, the number of
// network paths in the show and of files a check of their contents found
// damaged.
Verdict VerdictOfCounts(int32_t red, int32_t yellow, int32_t green, size_t networkPaths, int32_t damaged = 0);

// Every text in data[0, n) that names a file on a network share: two
// backslashes, a server, a backslash, a share, a backslash and more, up to
// the zero byte that ends it, cut to its first 1000 characters, in the
// order of the show. A double backslash inside a drive-letter reference
// ("C:\Shows\\x\y\z") belongs to that reference and is no network path;
// "\\?\" and "\\.\" name no server.
std::vector<std::string> FindNetworkPaths(const char* data, size_t n);

// The analysis page's lines below its counts: that no file name was found,
// and how many network paths the show names with the first of them; empty
// when neither applies.
std::string AnalysisNotes(int32_t red, int32_t yellow, int32_t green, const std::vector<std::string>& networkPaths);

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

#include "services/state.h"
#include "wizard/status_geometry.h"

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

// The lamp the traffic light lights for a verdict: green only for green
// light, red for red files, none when no file name was found or the show
// could not be read, and yellow for every other verdict (yellow files,
// files on the network, and any verdict yet to come): no verdict but green
// ever lights the green lamp.
LitLamp LampOfVerdict(Verdict verdict);

// Every text in data[0, n) that names a file off the show's drives: two
// separators ("\" or "/"), a server, a separator, a share, a separator and
// more ("\\nas\media\x.wav", "//nas/media/x.wav", "\\nas\media/x.wav"),
// the same behind "\\?\UNC\" or "\\.\UNC\", or a volume by its GUID
// ("\\?\Volume{...}\x.wav"); each up to the zero byte that ends it, cut
// to its first 1000 characters, in the order of the show. The server and
// share must lie within those 1000. A double separator inside a
// drive-letter path ("C:\Shows\\x\y\z", "http://x/y/z") belongs to that
// path and is no network path; other names behind "\\?\" and "\\.\"
// ("\\?\C:\", "\\.\pipe\") name no server.
std::vector<std::string> FindNetworkPaths(const char* data, size_t n);

// The same for a show read piece by piece: Feed each window of bytes in
// order, the last with last set. It looks at each byte once and stops
// where the bytes after the window could still decide (a path within the
// last 1000 bytes); it returns how many bytes it is done with, and the
// rest must begin the next window.
class CNetworkPathFinder {
public:
    size_t Feed(const char* data, size_t n, bool last, std::vector<std::string>& found);

private:
    char m_prev = '\0';              // the byte before the window
    bool m_inDriveReference = false;  // the text so far holds a drive-letter path
    bool m_skipping = false;          // in the text of a path just taken
};

// The analysis page's lines below its counts: that no file name was found,
// and how many network paths the show names with the first of them; empty
// when neither applies.
std::string AnalysisNotes(int32_t red, int32_t yellow, int32_t green, const std::vector<std::string>& networkPaths);

// The analysis page's lines about red references whose path holds a name
// Windows keeps for a device ("C:\Shows\nul.wav", "...\AUX\x.wav"): such a
// name opens the device, never a file. Says how many and names the first;
// empty when no path of redPaths holds one.
std::string DeviceNameNote(const std::vector<std::string>& redPaths);

// The analysis page's lines about files "Bestanden nakijken" found
// damaged: how many, the first of them by name and how many more; empty
// when none is.
std::string DamageNote(const std::vector<CheckedFile>& checked);

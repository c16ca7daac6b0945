// What the search for missing files decides without touching a disk: which
// file names it looks for, which red reference a found file may stand in
// for, which found file is chosen, and how a found file is shown. Free of
// <windows.h>, so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// When a found file was last written, in local time.
struct MissingDate {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// A file on some drive whose name and extension equal a red reference's.
struct MissingCandidate {
    std::string path;
    int64_t size = 0;
    MissingDate written;
};

// One missing file the show names, with what the search found for it.
struct MissingGroup {
    std::string redPath;   // as the show names it
    std::string fileName;  // its name and extension: the name a copy gets
    int kind = 0;          // as a file reference's m_nKind
    std::vector<MissingCandidate> candidates;
    int chosen = -1;       // index into candidates, or -1
};

class MissingFiles {
public:
    // One group per missing file: a path the show names twice (ASCII case
    // folded) is one group, in the order of its first mention.
    explicit MissingFiles(const std::vector<std::string>& redPaths);

    // The groups whose file name is this one, ASCII case folded; null when
    // none. One hash look-up, whatever the number of groups; scratch holds
    // the folded name so a walk needs no allocation per file.
    const std::vector<size_t>* GroupsNamed(std::string_view fileName, std::string& scratch) const;

    void AddCandidate(size_t group, MissingCandidate candidate);
    // After a search: a group with exactly one candidate has it chosen,
    // every other group none.
    void ChooseDefaults();
    // candidate -1 chooses none; at most one per group is ever chosen.
    void Choose(size_t group, int candidate);

    const std::vector<MissingGroup>& Groups() const { return m_groups; }
    size_t ChosenCount() const;
    size_t CandidateCount() const;

private:
    std::vector<MissingGroup> m_groups;
    std::unordered_map<std::string, std::vector<size_t>> m_byName;
};

// "a".."z" and "A".."Z" folded to lower case; other bytes unchanged.
void FoldToLowerAscii(std::string_view text, std::string& out);

// How the list shows a red reference: what the user must still do
// ("Niet gevonden:", "Kies een bestand:"), then its path.
std::string MissingGroupText(const MissingGroup& group);
// How the list shows a found file: its path, size and last-write date,
// e.g. "E:\Stick\applaus.wav   (1.234 bytes, 07-12-2026 14:05)".
std::string MissingCandidateText(const MissingCandidate& candidate);

// What the dialog says once the walk has ended or was stopped.
std::string MissingSearchSummary(int64_t folders, int64_t found, int64_t tooLong, bool stopped);

// What the dialog says after a copy run.
struct MissingCopyCounts {
    int copied = 0;      // new copies in the show's subfolders
    int inPlace = 0;     // the chosen file already was its own target
    int notCopied = 0;   // refused or failed, each named in a message
    bool stopped = false;
};
std::string MissingCopySummary(const MissingCopyCounts& counts);

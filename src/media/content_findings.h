// What the check of a show's files found, as the program keeps, counts and
// says it. Pure: the reading itself is content_read.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/content_check.h"
#include "services/state.h"

// The finding kept for the file at path; a kind the check does not know
// gets words of its own, so that every line of the list says something.
CheckedFile CheckedFileOf(const std::string& path, const ContentFinding& finding);

struct ContentCounts {
    int32_t read = 0, whole = 0, damaged = 0, warnings = 0, notJudged = 0;
    void Add(const CheckedFile& file);
};

// "beschadigd", "let op", "niet te beoordelen"; empty for a whole file.
const char* ContentWord(FileContent content);

// The path followed by the reason in brackets, as the log gives a finding.
std::string FindingText(const CheckedFile& file);

// The line below the list: how many files were read, and of them how many
// are whole, damaged, with a warning and not judged (those there are), and
// what to do about damage.
std::string ContentSummary(const ContentCounts& counts, int32_t files, bool stopped);

// A check that read these files: their findings replace the ones kept for
// the same files (a file put back is whole again); files it did not reach
// keep theirs.
void MergeFindings(std::vector<CheckedFile>& kept, std::vector<CheckedFile> fresh);

// The walk behind the search for missing files: every fixed and removable
// drive, once, for the names of all missing files together.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "repair/missing_match.h"

// Told each folder before it is listed; false stops the walk.
using MissingFolderFn = std::function<bool(const std::string& folder)>;

struct MissingWalkResult {
    int64_t folders = 0;
    // Files of a wanted name whose path is longer than kMaxBuiltPath: passed
    // over, never cut.
    std::vector<std::string> tooLong;
    bool stopped = false;
};

// Walks each root depth first and adds every file whose name and extension
// equal a group's as a candidate of that group. Junctions and other
// reparse points are not followed. The cost per file is one hash look-up,
// whatever the number of names.
MissingWalkResult FindMissingCandidates(const std::vector<std::string>& roots, MissingFiles& files,
                                        const MissingFolderFn& onFolder);

// The typical run, walked from outside through the real program: every
// page, the report and "Bestanden nakijken", both repairs, Start Wings,
// fresh analyses, the closing page; after a back-up, a new run checks it
// from the first page, as a volunteer at the venue would.
#pragma once

#include <string>
#include <vector>

struct WalkOptions {
    std::string exePath;        // Zekerpad.exe
    std::string screenshotDir;  // where each step's picture goes (Windows path); empty: none
    bool deleteOriginals = false;  // the answer to the yellow-2 question
    // With green light, the walk ends with a back-up into this folder (the
    // removable drive E:, a "USB stick"); empty: no back-up.
    std::string backupFolder = "E:\\";
};

struct WalkResult {
    bool completed = false;          // reached the closing page and finished
    std::string failure;             // what went wrong when not completed
    std::vector<std::string> steps;  // one line per step, as it was taken
    std::vector<std::string> boxes;  // the texts of the message boxes met
    std::string closingText;         // the closing page's text
    std::string reportPath;          // the report saved on the analysis page
    std::string checkSummary;        // the line below the list of "Bestanden nakijken"
    std::string backupSummary;       // the back-up dialog's summary, when one was made
    std::string venueCheckSummary;   // the check of that back-up from the first page of a new run
};

WalkResult WalkTypicalRun(const WalkOptions& options);

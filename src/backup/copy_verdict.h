// The verdict on a copy of a show made without Zekerpad (by hand, or onto
// the venue's PC): judged by the files its show files name, as there is no
// record to compare with. Pure: the reading is copy_check.h.
#pragma once

#include <string>
#include <vector>

struct ShowCopyResult {
    std::vector<std::string> shows;  // show files judged, below the copy ("demo.ws4")
    int named = 0;                   // distinct files the shows name
    int whole = 0;                   // there, and whole or with only a warning
    int notJudged = 0;               // there, of a kind whose contents cannot be judged
    std::vector<std::string> missing;  // below the copy ("Audio\intro.wav")
    std::vector<std::string> damaged;  // below the copy, with the reason in brackets
    std::vector<std::string> outside;  // named outside the show's old folder, as the show names them
    bool stopped = false;
};

// All there and none damaged, and the check ran to its end.
bool ShowCopyComplete(const ShowCopyResult& result);

// The summary after the check: the verdict on its first line (what the run
// log gets), then what is missing or damaged and what to do.
std::string ShowCopyText(const ShowCopyResult& result, const std::string& logName);

// The names of a finding, one per line, at most shown of them, the rest
// counted: "\nAudio\intro.wav\n... en nog 3 (zie het logboek C:\Zekerpad.log)".
std::string NameLines(const std::vector<std::string>& names, size_t shown, const std::string& logName);

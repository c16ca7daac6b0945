// The run log "c:\Zekerpad.log": opened once at start-up, appended to by
// every part of the program, closed at the end. When it cannot be opened
// the writers silently do nothing: the wizard never depends on the log.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern const char kRunLogPath[];  // "c:\Zekerpad.log"

// Opens for writing, creating it when absent, never truncating, shared with
// nobody, positioned at its end. Returns false (log stays closed) on failure.
bool OpenRunLog(const std::string& path = kRunLogPath);
void CloseRunLog();
bool IsRunLogOpen();

void LogLine(std::string text);
void LogValue(std::string label, std::string value);
void LogNumber(std::string label, int32_t number);
// One LogValue entry for each value, written and flushed together: for
// long runs of entries, such as the unchanged files of a back-up.
void LogValues(const std::string& label, const std::vector<std::string>& values);

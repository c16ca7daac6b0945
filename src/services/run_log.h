// The run log "C:\Zekerpad.log": opened once at start-up, appended to by
// every part of the program, closed at the end. When it cannot be opened
// the writers silently do nothing: the wizard never depends on the log.
#pragma once

#include <cstdint>
#include <string>

extern const char kRunLogPath[];  // "C:\Zekerpad.log"
// The entries that open and close every run.
extern const char kLogStartEntry[];
extern const char kLogStopEntry[];

// Opens for writing, creating it when absent, never truncating, shared with
// nobody, positioned at its end. Returns false (log stays closed) on failure.
bool OpenRunLog(const std::string& path = kRunLogPath);
void CloseRunLog();
bool IsRunLogOpen();

void LogLine(std::string text);
void LogValue(std::string label, std::string value);
void LogNumber(std::string label, int32_t number);
// Entries in the formats above, gathered and written with one flush: for
// long runs of entries such as the files of a back-up, where a flush per
// entry would cost more than the work. Written by Flush, once Due, before
// any plain entry written meanwhile, and at the latest when the batch ends.
// A batch made while another lives (one show's back-up within a run of
// many) hands its entries to that one when it ends; Flush and FlushIfDue
// write both, the older entries first.
class CLogBatch {
public:
    CLogBatch();
    ~CLogBatch();
    CLogBatch(const CLogBatch&) = delete;
    CLogBatch& operator=(const CLogBatch&) = delete;

    void Line(const std::string& text);
    void Value(const std::string& label, const std::string& value);
    void Number(const std::string& label, int32_t number);
    // Writes when the oldest entry waits longer than a quarter second.
    void FlushIfDue();
    void Flush();

private:
    void Add(const std::string& entry);

    std::string m_entries;
    unsigned long m_nSince = 0;  // tick count of the oldest waiting entry
    CLogBatch* m_pOuter;
};

#include "services/run_log.h"

#include "services/log_format.h"
#include "common/win_raii.h"

// Written as the user reads it in every message; Windows names ignore case,
// so this is the same file as "c:\Zekerpad.log".
const char kRunLogPath[] = "C:\\Zekerpad.log";
const char kLogStartEntry[] = "\n\r>>>>>>>>> Start logboek\n\r";
const char kLogStopEntry[] = "Stop logboek <<<<<<<<<\n\r";

namespace {
// The open log; invalid while closed.
UniqueFile g_fileLog;

void Append(const std::string& bytes) {
    if (!g_fileLog) return;
    DWORD written = 0;
    // A failed write (full disk) is dropped: the log is a trace, not a duty.
    ::WriteFile(g_fileLog.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::FlushFileBuffers(g_fileLog.get());
}

// The batch being gathered now: a plain entry written meanwhile (a
// message's entry, the stop entry of a log-off) must follow its entries,
// not overtake them.
CLogBatch* s_pActiveBatch = nullptr;

void AppendEntry(const std::string& entry) {
    if (s_pActiveBatch) s_pActiveBatch->Flush();
    Append(entry);
}
}  // namespace

bool OpenRunLog(const std::string& path) {
    g_fileLog.reset(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!g_fileLog) return false;
    if (::SetFilePointer(g_fileLog.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
        ::GetLastError() != NO_ERROR) {
        // Writing at an unknown position could overwrite earlier runs.
        g_fileLog.reset();
        return false;
    }
    return true;
}

void CloseRunLog() { g_fileLog.reset(); }

bool IsRunLogOpen() { return g_fileLog.valid(); }

void LogLine(std::string text) { AppendEntry(FormatLogLine(text)); }

void LogValue(std::string label, std::string value) { AppendEntry(FormatLogValue(label, value)); }

void LogNumber(std::string label, int32_t number) { AppendEntry(FormatLogNumber(label, number)); }

CLogBatch::CLogBatch() : m_pOuter(s_pActiveBatch) { s_pActiveBatch = this; }

CLogBatch::~CLogBatch() {
    if (!m_pOuter) {
        Flush();
    } else if (!m_entries.empty()) {
        if (m_pOuter->m_entries.empty()) m_pOuter->m_nSince = m_nSince;
        m_pOuter->m_entries += m_entries;
    }
    s_pActiveBatch = m_pOuter;
}

void CLogBatch::Add(const std::string& entry) {
    if (m_entries.empty()) m_nSince = ::GetTickCount();
    m_entries += entry;
}

void CLogBatch::Line(const std::string& text) { Add(FormatLogLine(text)); }

void CLogBatch::Value(const std::string& label, const std::string& value) { Add(FormatLogValue(label, value)); }

void CLogBatch::Number(const std::string& label, int32_t number) { Add(FormatLogNumber(label, number)); }

void CLogBatch::FlushIfDue() {
    const DWORD now = ::GetTickCount();
    for (const CLogBatch* batch = this; batch; batch = batch->m_pOuter)
        if (!batch->m_entries.empty() && now - batch->m_nSince >= 250) return Flush();
}

void CLogBatch::Flush() {
    std::string entries;
    for (CLogBatch* batch = this; batch; batch = batch->m_pOuter) {
        entries.insert(0, batch->m_entries);
        batch->m_entries.clear();
    }
    if (!entries.empty()) Append(entries);
}

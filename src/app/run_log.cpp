#include "app/run_log.h"

#include "app/log_format.h"
#include "common/win_raii.h"

const char kRunLogPath[] = "c:\\Zekerpad.log";

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

void LogLine(std::string text) { Append(FormatLogLine(text)); }

void LogValue(std::string label, std::string value) { Append(FormatLogValue(label, value)); }

void LogNumber(std::string label, int32_t number) { Append(FormatLogNumber(label, number)); }

void LogValues(const std::string& label, const std::vector<std::string>& values) {
    std::string entries;
    for (const std::string& value : values) entries += FormatLogValue(label, value);
    if (!entries.empty()) Append(entries);
}

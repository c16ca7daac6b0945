#include "backup/backup_names.h"

#include <cstdio>

namespace {
constexpr char kBom[] = "\xEF\xBB\xBF";
constexpr char kFindingsFirstLine[] = "Zekerpad controle";
}  // namespace

std::string CheckFindingsName(const std::string& folderName) { return folderName + " - Zekerpad-controle.txt"; }

std::string FormatCheckFindings(const std::vector<std::string>& relatives) {
    std::string text = kBom;
    text += kFindingsFirstLine;
    text += "\r\nDeze bestanden waren bij de laatste controle beschadigd of ontbraken in de back-up; de "
            "volgende back-up kopieert ze opnieuw.\r\n\r\n";
    for (const std::string& relative : relatives) text += relative + "\r\n";
    return text;
}

std::vector<std::string> ParseCheckFindings(std::string_view text) {
    std::vector<std::string> relatives;
    if (text.substr(0, 3) == std::string_view(kBom, 3)) text.remove_prefix(3);
    int line = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view part = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
        if (line++ == 0) {
            if (part != kFindingsFirstLine) return relatives;
            continue;
        }
        // The note and the empty line above the names.
        if (line <= 3) continue;
        if (!part.empty()) relatives.emplace_back(part);
    }
    return relatives;
}

std::string BackupRecordName(const std::string& folderName) { return folderName + " - Zekerpad-back-up.txt"; }

std::string OlderVersionsName(const std::string& folderName) { return folderName + " oudere versies"; }

std::string OlderVersionsStamp(int year, int month, int day, int hour, int minute) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d.%02d", year, month, day, hour, minute);
    return text;
}

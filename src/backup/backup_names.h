// The names of what lies beside a back-up folder ("Demo"): its record, the
// findings of its last check, its older versions, and the text of those
// findings. Pure text work: nothing here touches a file.
//
// Names in here are UTF-8, as the disk's names are kept by the back-up.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// "Demo - Zekerpad-back-up.txt": the record of the back-up folder "Demo".
std::string BackupRecordName(const std::string& folderName);
// "Demo oudere versies": where older copies of the folder "Demo" go.
std::string OlderVersionsName(const std::string& folderName);
// "2026-12-08 09.30": one run's folder of older versions.
std::string OlderVersionsStamp(int year, int month, int day, int hour, int minute);

// The findings of a check beside the record ("Demo - Zekerpad-controle.txt"):
// the copies it found damaged or missing, which the next back-up copies again.
std::string FormatCheckFindings(const std::vector<std::string>& relatives);
std::vector<std::string> ParseCheckFindings(std::string_view text);
std::string CheckFindingsName(const std::string& folderName);

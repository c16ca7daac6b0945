// The check for scripts: "Zekerpad.exe /controleer <show> [/rapport <file>]"
// analyses the show without any window or message box, writes the report
// when asked, logs as the wizard would, and returns an exit code.
#pragma once

#include <string>

#include "app/command_line.h"

// Runs a check or reports a wrong command line; the run log is opened and
// closed here. settingsFile: where the subfolder names are read.
int RunCommandCheck(const CheckCommand& command, const std::string& logPath, const std::string& settingsFile);

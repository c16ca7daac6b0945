// The command line for scripts: "Zekerpad.exe /controleer <show> [/rapport
// <file>]" analyses the show without any window or message box, writes the
// report when asked, logs as the wizard would, and returns an exit code;
// "/back-up <show> <folder>" then also makes the back-up at green light.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"

// The program's arguments, read from the command line as Windows gives it
// (wide) and split by ArgumentsOf. Each is handed on in the code page; a
// name the code page cannot hold (a show in "C:\Shows\Łódź\") as its
// short name when there is one the code page holds.
struct ProgramArguments {
    std::vector<std::string> args;
    std::vector<std::string> utf8;  // the same, as given, in UTF-8
    int unreadable = -1;          // the first argument without such a name, or -1
    std::string unreadableShown;  // that argument, with "?" for what the code page cannot hold
};
ProgramArguments ReadProgramArguments(const wchar_t* commandLine);

// The command line's mode and arguments. The destination of /back-up is
// kept in UTF-8 (CheckCommand::backup): the back-up goes to the
// wide-character calls, so a folder the code page cannot name is one to
// back up into, as in the back-up dialog.
CheckCommand ParseProgramArguments(const ProgramArguments& read);

// Runs a check or a back-up, or reports a wrong command line; the run log is opened and
// closed here. settingsFile: where the subfolder names are read.
int RunCommandCheck(const CheckCommand& command, const std::string& logPath, const std::string& settingsFile);

// Called when Windows ends the session during /back-up, after the files
// being written were marked for deletion: logs the outcome (code 6) and
// ends the process. Tests replace it, since it ends the process they run in.
using BackupSessionEndFn = void (*)();
extern BackupSessionEndFn g_pfnBackupSessionEnd;

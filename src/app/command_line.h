// The program's command line. Without arguments the program is the wizard;
// with one that is no option ("Openen met", a show dragged onto the
// program) the wizard with that show chosen; "/controleer <show> [/rapport
// <file>] [/nakijken]" checks a show for a script (and, with /nakijken, the
// contents of its files),
// "/controleer-back-up <folder>" checks a back-up against its record, and
// "/back-up <show> <folder>" makes the show's back-up when it has green
// light, for a batch file or a scheduled task.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments after the program's name, split as Windows programs split
// them: blanks separate, double quotes group, backslashes before a quote
// escape it.
std::vector<std::string> ArgumentsOf(std::string_view commandLine);

struct CheckCommand {
    enum class Mode { Wizard, Check, CheckBackup, Backup, Wrong } mode = Mode::Wizard;
    std::string show;    // the show to check; for the wizard the show handed to it, or empty
    std::string report;  // where its report goes; empty for none
    bool checkContents = false;  // /nakijken: every file read to its end
    std::string backup;  // the back-up folder to check; for /back-up the folder it goes into
    std::string why;     // what is wrong with a wrong command line
};

// Options are case-insensitive: /controleer, /CONTROLEER.
CheckCommand ParseCheckCommand(const std::vector<std::string>& args);

// A command line for a script ("/controleer...", "/back-up..."): whatever
// is wrong with it, no window may appear.
bool IsScriptCommand(const std::vector<std::string>& args);

// The run log's first line of a run without a window: "Controle zonder
// venster", or for /back-up "Back-up zonder venster".
std::string ScriptLogLine(bool backup);

// Every form the program takes, for the message about a wrong command line.
std::string UsageText();

// A show handed to the wizard that is not there: what happened and how to
// choose one on the selection page, where the wizard then opens.
std::string MissingShowText(const std::string& path);

// The exit codes of the command line, for back-up scripts: one table.
// /back-up without green light ends with its show's code of /controleer.
enum CheckExitCode {
    kExitGreenLight = 0,
    kExitOnlyYellow = 1,  // also: files on the network
    kExitRed = 2,
    kExitUnreadable = 3,  // also: not one file name in the show
    kExitWrongCommand = 4,
    kExitDamaged = 5,  // /nakijken found a damaged file, nothing red
    kExitBackupIncomplete = 6,  // /back-up: stopped, a file not copied, a destination full or not there
};

// The exit codes of the back-up check: 0 all files as recorded, 1 a file
// missing or different, 3 no record, 4 the command line was wrong.
enum BackupCheckExitCode {
    kExitBackupGood = 0,
    kExitBackupDamaged = 1,
    kExitBackupNoRecord = 3,
};

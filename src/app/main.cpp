#include <windows.h>

#include "files/file_helpers.h"
#include "app/app.h"
#include "app/command_check.h"
#include "app/command_line.h"
#include "common/text.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/settings.h"

namespace {
// A command line the wizard cannot follow: said once, in a window, with
// every form the program takes.
int RefuseCommandLine(const std::string& what) {
    OpenRunLog();
    LogLine(kLogStartEntry);
    LogValue("Fout", "de opdrachtregel klopt niet, " + what);
    LogLine(kLogStopEntry);
    CloseRunLog();
    ShowMessage("Zekerpad begrijpt deze opdrachtregel niet:\n" + what + "\n\n" + UsageText());
    return kExitWrongCommand;
}

// A show whose name the code page cannot hold, and for which Windows keeps
// no short name it can: it is there, but cannot be opened by its name.
// scriptLine: the first line a command-line run logs; empty for the wizard.
int RefuseUnreadableShow(const std::string& shown, const std::string& scriptLine) {
    const bool script = !scriptLine.empty();
    OpenRunLog();
    LogLine(kLogStartEntry);
    if (script) LogLine(scriptLine);
    LogValue("Fout", "de naam van de show kan niet worden gelezen: " + shown);
    LogLine(kLogStopEntry);
    CloseRunLog();
    if (!script)
        ShowMessage("Zekerpad kan de naam van deze show niet lezen:\n" + shown +
                    "\n\nDe naam bevat tekens die Zekerpad niet kan verwerken (hierboven als ?), en Windows houdt er "
                    "geen korte naam voor bij. Geef de show en de mappen waarin zij staat een naam met gewone "
                    "letters, of kopieer de map van de show naar zo'n map, en kies de show daarna opnieuw.");
    return kExitUnreadable;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // No system box about a drive without a medium, in any mode: the
    // searches walk removable drives and the back-up probes what is typed.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    // Read wide: the code-page line would turn "Łódź" into "?ód?".
    const ProgramArguments read = ReadProgramArguments(::GetCommandLineW());
    const std::vector<std::string>& args = read.args;
    const bool script = IsScriptCommand(args);
    // The show's place: after /controleer, or alone for the wizard.
    if (read.unreadable == (script ? 1 : 0) && args.size() <= (script ? 4u : 1u))
        return RefuseUnreadableShow(read.unreadableShown,
                                    script ? ScriptLogLine(EqualsNoCaseAscii(args[0], "/back-up")) : std::string());
    const CheckCommand command = ParseProgramArguments(read);
    // A script's command line: without any window, also when it is wrong.
    if (command.mode == CheckCommand::Mode::Wrong && !script) {
        // Said as given, an unreadable name with its "?".
        std::vector<std::string> shown = args;
        if (read.unreadable >= 0) shown[static_cast<size_t>(read.unreadable)] = read.unreadableShown;
        std::string given;
        for (const std::string& arg : shown)
            given += (given.empty() ? "" : " ") + (arg.find(' ') == std::string::npos ? arg : '"' + arg + '"');
        return RefuseCommandLine(given);
    }
    if (command.mode != CheckCommand::Mode::Wizard)
        return RunCommandCheck(command, kRunLogPath, SettingsFileName());
    CWingsTestApp app;
    if (!command.show.empty() && !FilePresent(command.show))
        app.SetMissingShow(command.show);
    else if (!command.show.empty())
        app.SetStartShow(FullPathName(command.show));
    app.InitInstance();
    return 0;
}

#include <windows.h>

#include "files/file_helpers.h"
#include "app/app.h"
#include "app/command_check.h"
#include "app/command_line.h"
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
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // No system box about a drive without a medium, in any mode: the
    // searches walk removable drives and the back-up probes what is typed.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::vector<std::string> args = ArgumentsOf(::GetCommandLineA());
    const CheckCommand command = ParseCheckCommand(args);
    // A script's command line: without any window, also when it is wrong.
    if (command.mode == CheckCommand::Mode::Wrong && !IsScriptCommand(args)) {
        std::string given;
        for (const std::string& arg : args)
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

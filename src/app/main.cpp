#include <windows.h>

#include "app/app.h"
#include "app/command_check.h"
#include "app/command_line.h"
#include "services/run_log.h"
#include "services/settings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // With arguments: the check for scripts, without any window.
    const CheckCommand command = ParseCheckCommand(ArgumentsOf(::GetCommandLineA()));
    if (command.mode != CheckCommand::Mode::Wizard)
        return RunCommandCheck(command, kRunLogPath, SettingsFileName());
    CWingsTestApp app;
    app.InitInstance();
    return 0;
}

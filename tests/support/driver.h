// Drives the real Zekerpad.exe from outside, as a user would: starts it,
// finds its wizard, presses buttons, saves screenshots.
#pragma once

#include <windows.h>

#include <string>

#include "common/win_raii.h"

class ZekerpadProcess {
public:
    // Starts the program from the build folder with the test's environment.
    explicit ZekerpadProcess(const std::string& exePath);
    ~ZekerpadProcess();

    bool Started() const { return m_process.valid(); }
    // The visible wizard window of this process, waiting up to timeoutMs.
    HWND WaitForWizard(DWORD timeoutMs = 20000);
    // True when the process ended within the time; its exit code in *code.
    bool WaitForExit(DWORD timeoutMs = 20000, DWORD* code = nullptr);
    DWORD Id() const { return m_id; }

private:
    UniqueKernelHandle m_process;
    DWORD m_id = 0;
};

// The window's current title.
std::string WindowTitle(HWND wnd);
// Presses one of the wizard's own buttons (PSBTN_*) from outside.
void PressWizardButton(HWND sheet, int psbtn);
// Saves the window as it is on the screen to a .bmp file.
bool SaveScreenshot(HWND wnd, const std::string& bmpPath);
// Folder for screenshots (made when missing), as a Windows path.
std::string ScreenshotFolder();
// Folder of Zekerpad.exe, as a Windows path.
std::string ProgramFolder();

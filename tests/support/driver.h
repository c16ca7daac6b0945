// Drives the real Zekerpad.exe from outside, as a user would: starts it,
// finds its wizard, presses buttons, saves screenshots.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/win_raii.h"

class ZekerpadProcess {
public:
    // Starts the program from the build folder with the test's environment,
    // and the arguments given (as they follow the program's name).
    explicit ZekerpadProcess(const std::string& exePath, const std::string& arguments = std::string());
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

// Waits until the condition holds, checking every 50 ms.
template <typename F>
bool WaitUntil(F condition, DWORD timeoutMs = 20000) {
    const DWORD start = ::GetTickCount();
    do {
        if (condition()) return true;
        ::Sleep(50);
    } while (::GetTickCount() - start < timeoutMs);
    return condition();
}

// The wizard's current page and its index, read from outside.
HWND CurrentPageOf(HWND sheet);
int CurrentIndexOf(HWND sheet);
// A control's text, read from outside (WM_GETTEXT crosses processes).
std::string ControlText(HWND dialog, int id);
bool IsControlEnabled(HWND dialog, int id);
// Clicks a push button of a page as a user would.
void ClickControl(HWND dialog, int id);
// Replaces an edit field's text as if typed.
void TypeText(HWND dialog, int id, const std::string& text);

// The lines of a list box of another process (the wide message crosses
// processes under Wine, the ANSI one does not), in code page 1252.
std::vector<std::string> ListBoxLinesOf(HWND dialog, int id);

// A message box of the process (a dialog with the box's text control),
// or null when none is open.
HWND FindMessageBox(DWORD pid);
// A dialog of the process with exactly this caption, or null.
HWND FindDialogByCaption(DWORD pid, const std::string& caption);
// Its text.
std::string MessageBoxText(HWND box);
// Answers it with the button (IDOK, IDYES, IDNO, IDCANCEL).
void AnswerMessageBox(HWND box, int buttonId);

// The system's folder picker open in the process (a dialog holding a
// folder tree), or null; its title is the system's and its language.
HWND FindFolderPicker(DWORD pid);

// A visible dialog window of the process with exactly this title (a
// system dialog such as the save dialog), or null.
HWND FindDialogTitled(DWORD pid, const std::string& title);

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

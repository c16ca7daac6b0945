// The one way the program talks to the user through message boxes.
#pragma once

#include <string>

struct HWND__;

// Signature of a message box; tests replace the real one through
// g_pfnMessageBox to answer the box and record what it said.
using MessageBoxFn = int (*)(HWND__* owner, const std::string& text,
                             const std::string& caption, unsigned type);
extern MessageBoxFn g_pfnMessageBox;

// The full path of the running executable, however long.
std::string ExecutablePath();

// The program's caption: the executable's base name ("Zekerpad").
std::string ProgramTitle();

// A failure report: OK button, exclamation icon, the program's caption.
void ShowMessage(const std::string& text, HWND__* owner = nullptr);

// Any other box (OK/Cancel, the Yes/No question); returns the answer.
int AskMessage(HWND__* owner, const std::string& text,
               const std::string& caption, unsigned type);

// While one lives (a command line run by a script or a scheduled task), no
// box appears, for nobody would answer it: a report is left to the run
// log, which its callers write first, and a question gets the answer of its
// default button, the one a user who only pressed Enter would give.
class CWindowlessMessages {
public:
    CWindowlessMessages();
    ~CWindowlessMessages();
    CWindowlessMessages(const CWindowlessMessages&) = delete;
    CWindowlessMessages& operator=(const CWindowlessMessages&) = delete;

private:
    bool m_bBefore;
};

// The answer of a box's default button: its type's buttons (MB_YESNO ...)
// and MB_DEFBUTTON2/3 (the first button without).
int DefaultAnswer(unsigned type);

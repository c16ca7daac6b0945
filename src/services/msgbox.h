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

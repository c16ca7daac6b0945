// The manual, handleiding.html beside the program: the wizard's Help
// button and F1 open it in the user's browser at the current page's
// section.
#pragma once

#include <string>
#include <string_view>

struct HWND__;

// Opens a URL in the user's browser; true when a browser was started.
// Tests replace it through g_pfnOpenUrl to see the URL without a browser.
using OpenUrlFn = bool (*)(HWND__* owner, const std::string& url);
extern OpenUrlFn g_pfnOpenUrl;

// handleiding.html in the program's own folder.
std::string ManualPath();

// Opens the manual at the section of the page with this index. Where the
// manual is missing, a message says where it was expected.
void ShowManual(HWND__* owner, int pageIndex);

// Opens the manual at the section with this id (at its top for an empty
// one): a dialog with a section of its own answers F1 so.
void ShowManualSection(HWND__* owner, std::string_view section);

// The same for whichever page the sheet shows now.
void ShowManualForSheet(HWND__* sheet);

// A text in the Windows ANSI code page, as UTF-8 (what file URLs carry).
std::string AnsiToUtf8(const std::string& ansi);

#include "services/msgbox.h"

#include <windows.h>

#include <vector>

#include "files/path_split.h"

namespace {
int RealMessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned type) {
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

bool s_bWindowless = false;
}  // namespace

MessageBoxFn g_pfnMessageBox = &RealMessageBox;

CWindowlessMessages::CWindowlessMessages() : m_bBefore(s_bWindowless) { s_bWindowless = true; }
CWindowlessMessages::~CWindowlessMessages() { s_bWindowless = m_bBefore; }

int DefaultAnswer(unsigned type) {
    std::vector<int> buttons;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: buttons = {IDOK, IDCANCEL}; break;
    case MB_ABORTRETRYIGNORE: buttons = {IDABORT, IDRETRY, IDIGNORE}; break;
    case MB_YESNOCANCEL: buttons = {IDYES, IDNO, IDCANCEL}; break;
    case MB_YESNO: buttons = {IDYES, IDNO}; break;
    case MB_RETRYCANCEL: buttons = {IDRETRY, IDCANCEL}; break;
    case MB_CANCELTRYCONTINUE: buttons = {IDCANCEL, IDTRYAGAIN, IDCONTINUE}; break;
    default: buttons = {IDOK}; break;
    }
    size_t index = 0;
    if ((type & MB_DEFMASK) == MB_DEFBUTTON2) index = 1;
    if ((type & MB_DEFMASK) == MB_DEFBUTTON3) index = 2;
    return buttons[index < buttons.size() ? index : 0];
}

std::string ExecutablePath() {
    std::vector<char> buf(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::string();
        if (n < buf.size()) return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::string ProgramTitle() {
    std::string name = SplitPath(ExecutablePath()).name;
    return name.empty() ? "Zekerpad" : name;
}

void ShowMessage(const std::string& text, HWND owner) {
    if (s_bWindowless) return;
    g_pfnMessageBox(owner, text, ProgramTitle(), MB_OK | MB_ICONEXCLAMATION);
}

int AskMessage(HWND owner, const std::string& text, const std::string& caption, unsigned type) {
    if (s_bWindowless) return DefaultAnswer(type);
    return g_pfnMessageBox(owner, text, caption, type);
}

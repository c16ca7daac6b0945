#include "services/msgbox.h"

#include <windows.h>

#include <vector>

#include "files/path_split.h"

namespace {
int RealMessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned type) {
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}
}  // namespace

MessageBoxFn g_pfnMessageBox = &RealMessageBox;

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
    g_pfnMessageBox(owner, text, ProgramTitle(), MB_OK | MB_ICONEXCLAMATION);
}

int AskMessage(HWND owner, const std::string& text, const std::string& caption, unsigned type) {
    return g_pfnMessageBox(owner, text, caption, type);
}

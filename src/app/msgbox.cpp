#include "app/msgbox.h"

#include <windows.h>

#include <vector>

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
    const std::string path = ExecutablePath();
    if (path.empty()) return "Zekerpad";
    size_t slash = path.find_last_of("\\/");
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    if (dot != std::string::npos) base.erase(dot);
    return base;
}

void ShowMessage(const std::string& text, HWND owner) {
    g_pfnMessageBox(owner, text, ProgramTitle(), MB_OK | MB_ICONEXCLAMATION);
}

int AskMessage(HWND owner, const std::string& text, const std::string& caption, unsigned type) {
    return g_pfnMessageBox(owner, text, caption, type);
}

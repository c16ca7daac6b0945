#include "support/driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <fstream>
#include <functional>
#include <vector>

#include "support/test_support.h"

ZekerpadProcess::ZekerpadProcess(const std::string& exePath, const std::string& arguments) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exePath + "\"";
    if (!arguments.empty()) cmd += " " + arguments;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    if (::CreateProcessA(exePath.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &si, &pi)) {
        m_process.reset(pi.hProcess);
        ::CloseHandle(pi.hThread);
        m_id = pi.dwProcessId;
        ::WaitForInputIdle(pi.hProcess, 10000);
    }
}

ZekerpadProcess::~ZekerpadProcess() {
    if (m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(m_process.get(), 1);
        ::WaitForSingleObject(m_process.get(), 5000);
    }
}

namespace {
constexpr int kNextButtonId = 0x3024;
constexpr int kMessageBoxTextId = 0xFFFF;

// The first visible dialog window of the process that the test accepts.
HWND FindProcessDialog(DWORD pid, const std::function<bool(HWND)>& accept) {
    struct Search {
        DWORD pid;
        const std::function<bool(HWND)>& accept;
        HWND found;
    } search{pid, accept, nullptr};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(wnd, &owner);
            char cls[64] = {};
            ::GetClassNameA(wnd, cls, sizeof cls);
            if (owner != s->pid || !::IsWindowVisible(wnd) || std::string(cls) != "#32770" ||
                !s->accept(wnd))
                return TRUE;
            s->found = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsWizard(HWND wnd) { return ::GetDlgItem(wnd, kNextButtonId) != nullptr; }
bool IsMessageBox(HWND wnd) { return !IsWizard(wnd) && ::GetDlgItem(wnd, kMessageBoxTextId) != nullptr; }
}  // namespace

HWND ZekerpadProcess::WaitForWizard(DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    do {
        if (HWND wizard = FindProcessDialog(m_id, &IsWizard)) {
            ::Sleep(300);  // let it paint
            return wizard;
        }
        ::Sleep(50);
    } while (::GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool ZekerpadProcess::WaitForExit(DWORD timeoutMs, DWORD* code) {
    if (!m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) != WAIT_OBJECT_0) return false;
    if (code) ::GetExitCodeProcess(m_process.get(), code);
    return true;
}

std::string WindowTitle(HWND wnd) {
    char buf[512] = {};
    ::GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

void PressWizardButton(HWND sheet, int psbtn) {
    ::PostMessageA(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(psbtn), 0);
}

bool SaveScreenshot(HWND wnd, const std::string& bmpPath) {
    RECT rc{};
    if (!::GetWindowRect(wnd, &rc)) return false;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return false;

    HDC screen = ::GetDC(nullptr);
    UniqueMemoryDc mem(::CreateCompatibleDC(screen));
    UniqueGdiObject bmp(::CreateCompatibleBitmap(screen, w, h));
    bool ok = mem && bmp;
    if (ok) {
        ScopedSelect sel(mem.get(), bmp.get());
        ok = ::BitBlt(mem.get(), 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY) != FALSE;
    }
    ::ReleaseDC(nullptr, screen);
    if (!ok) return false;

    BITMAPINFOHEADER bih{};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = h;
    bih.biPlanes = 1;
    bih.biBitCount = 24;
    bih.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(h));
    HDC dc = ::GetDC(nullptr);
    const int lines = ::GetDIBits(dc, static_cast<HBITMAP>(bmp.get()), 0, static_cast<UINT>(h),
                                  pixels.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    if (lines != h) return false;

    BITMAPFILEHEADER bfh{};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof bfh + sizeof bih;
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(bmpPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&bfh), sizeof bfh);
    out.write(reinterpret_cast<const char*>(&bih), sizeof bih);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

std::string ScreenshotFolder() {
    const std::string dir = WinePath(ZK_SCREENSHOT_DIR);
    ::CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string ProgramFolder() { return WinePath(ZK_EXE_DIR); }

HWND CurrentPageOf(HWND sheet) {
    return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int CurrentIndexOf(HWND sheet) {
    HWND page = CurrentPageOf(sheet);
    if (!page) return -1;
    return static_cast<int>(::SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

std::string ControlText(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    if (!item) return std::string();
    const LRESULT len = ::SendMessageA(item, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> buf(static_cast<size_t>(len) + 2);
    const LRESULT got = ::SendMessageA(item, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    return std::string(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
}

bool IsControlEnabled(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    return item && ::IsWindowEnabled(item);
}

void ClickControl(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
}

void TypeText(HWND dialog, int id, const std::string& text) {
    HWND item = ::GetDlgItem(dialog, id);
    ::SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}


HWND FindDialogTitled(DWORD pid, const std::string& title) {
    struct Search {
        DWORD pid;
        const std::string* title;
        HWND found;
    } search{pid, &title, nullptr};
    ::EnumWindows(
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(wnd, &owner);
            if (owner != s->pid || !::IsWindowVisible(wnd) || WindowTitle(wnd) != *s->title) return TRUE;
            s->found = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindFolderPicker(DWORD pid) {
    return FindProcessDialog(pid, [](HWND wnd) {
        return ::FindWindowExA(wnd, nullptr, "SysTreeView32", nullptr) != nullptr ||
               ::FindWindowExA(::FindWindowExA(wnd, nullptr, "SHBrowseForFolder ShellNameSpace Control", nullptr),
                               nullptr, "SysTreeView32", nullptr) != nullptr;
    });
}

HWND FindMessageBox(DWORD pid) {
    return FindProcessDialog(pid, &IsMessageBox);
}

HWND FindDialogByCaption(DWORD pid, const std::string& caption) {
    return FindProcessDialog(pid, [&](HWND wnd) { return WindowTitle(wnd) == caption; });
}

std::string MessageBoxText(HWND box) { return ControlText(box, kMessageBoxTextId); }

void AnswerMessageBox(HWND box, int buttonId) {
    HWND button = ::GetDlgItem(box, buttonId);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::vector<std::string> ListBoxLinesOf(HWND dialog, int id) {
    std::vector<std::string> lines;
    HWND list = ::GetDlgItem(dialog, id);
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT len = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (len < 0) continue;
        std::vector<wchar_t> wide(static_cast<size_t>(len) + 1);
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide.data()));
        const int n = ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> narrow(static_cast<size_t>(n > 0 ? n : 1));
        ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide.data(), -1, narrow.data(), n, nullptr, nullptr);
        lines.emplace_back(narrow.data());
    }
    return lines;
}

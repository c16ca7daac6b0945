#include "services/help.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

#include "files/file_helpers.h"
#include "files/path_split.h"
#include "services/help_url.h"
#include "services/msgbox.h"

namespace {
constexpr char kManualName[] = "handleiding.html";

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

// The program that the user's browser for web pages is.
std::string BrowserExecutable() {
    DWORD size = 0;
    const HRESULT probe =
        ::AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, "http", "open", nullptr, &size);
    if ((probe != S_FALSE && probe != S_OK) || size == 0) return {};
    std::vector<char> exe(size);
    if (::AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, "http", "open", exe.data(), &size) != S_OK)
        return {};
    return std::string(exe.data());
}

// Handed to ShellExecute, a file URL loses its "#section" on Windows: the
// shell resolves the URL to the file and opens that. The browser itself
// keeps the whole URL when it gets it as its argument, so ask it first.
bool RealOpenUrl(HWND owner, const std::string& url) {
    const std::string browser = BrowserExecutable();
    if (!browser.empty()) {
        const std::string argument = '"' + url + '"';
        if (Started(::ShellExecuteA(owner, "open", browser.c_str(), argument.c_str(), nullptr, SW_SHOWNORMAL)))
            return true;
    }
    if (Started(::ShellExecuteA(owner, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL))) return true;
    // Some shells look for a file whose name ends in the "#section"; then
    // the manual opens at its top. A "#" in the path itself is escaped, so
    // the first one starts the section.
    const size_t section = url.find('#');
    if (section == std::string::npos) return false;
    const std::string withoutSection = url.substr(0, section);
    return Started(::ShellExecuteA(owner, "open", withoutSection.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
}
}  // namespace

OpenUrlFn g_pfnOpenUrl = &RealOpenUrl;

std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int inLen = static_cast<int>(ansi.size());
    const int wideLen = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), inLen, nullptr, 0);
    if (wideLen <= 0) return {};
    std::vector<wchar_t> wide(static_cast<size_t>(wideLen));
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), inLen, wide.data(), wideLen);
    const int outLen = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, nullptr, 0, nullptr, nullptr);
    if (outLen <= 0) return {};
    std::string utf8(static_cast<size_t>(outLen), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, utf8.data(), outLen, nullptr, nullptr);
    return utf8;
}

std::string ManualPath() {
    const PathParts exe = SplitPath(ExecutablePath());
    return exe.drive + exe.dir + kManualName;
}

void ShowManual(HWND owner, int pageIndex) { ShowManualSection(owner, ManualAnchor(pageIndex)); }

void ShowManualSection(HWND owner, std::string_view section) {
    const std::string path = ManualPath();
    if (!FileExists(path)) {
        ShowMessage("De handleiding is niet gevonden. Zekerpad zoekt haar naast het programma, op deze "
                    "plaats:\n" + path + "\n\nZet het bestand handleiding.html daar neer, of installeer "
                    "Zekerpad opnieuw.",
                    owner);
        return;
    }
    const std::string url = FileUrl(AnsiToUtf8(path), section);
    if (!g_pfnOpenUrl(owner, url))
        ShowMessage("De handleiding kon niet worden geopend in de browser. U vindt haar hier: " + path, owner);
}

void ShowManualForSheet(HWND sheet) {
    HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    const int index = page ? static_cast<int>(::SendMessageA(sheet, PSM_HWNDTOINDEX,
                                                             reinterpret_cast<WPARAM>(page), 0))
                           : -1;
    ShowManual(sheet, index);
}

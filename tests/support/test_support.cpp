#include "support/test_support.h"

#include "files/file_helpers.h"

#include <commctrl.h>
#include <imagehlp.h>
#include <prsht.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <utility>

#include "services/help.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "support/driver.h"
#include "wizard/sheet.h"

std::string WinePath(const std::string& linuxPath) {
    std::string p = "Z:" + linuxPath;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

namespace {
MessageBoxRecorder* s_recorder = nullptr;
}

MessageBoxRecorder::MessageBoxRecorder() {
    s_recorder = this;
    g_pfnMessageBox = &MessageBoxRecorder::Record;
}

MessageBoxRecorder::~MessageBoxRecorder() {
    s_recorder = nullptr;
    g_pfnMessageBox = [](HWND__*, const std::string&, const std::string&, unsigned) -> int {
        ADD_FAILURE() << "unexpected message box";
        return IDOK;
    };
}

int MessageBoxRecorder::Record(HWND__*, const std::string& text, const std::string& caption,
                               unsigned type) {
    s_recorder->m_boxes.push_back({text, caption, type});
    if (!s_recorder->m_answers.empty()) {
        int a = s_recorder->m_answers.front();
        s_recorder->m_answers.pop_front();
        return a;
    }
    return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

namespace {
UrlOpenRecorder* s_urlRecorder = nullptr;
}

UrlOpenRecorder::UrlOpenRecorder() {
    s_urlRecorder = this;
    g_pfnOpenUrl = &UrlOpenRecorder::Record;
}

UrlOpenRecorder::~UrlOpenRecorder() {
    s_urlRecorder = nullptr;
    g_pfnOpenUrl = [](HWND__*, const std::string& url) -> bool {
        ADD_FAILURE() << "unexpected browser start: " << url;
        return true;
    };
}

bool UrlOpenRecorder::Record(HWND__*, const std::string& url) {
    s_urlRecorder->m_urls.push_back(url);
    return true;
}

bool RunAndWait(const std::string& commandLine, DWORD timeoutMs, DWORD* exitCode) {
    std::wstring wide(commandLine.size(), L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, 0, commandLine.data(), static_cast<int>(commandLine.size()), &wide[0],
                                        static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return RunAndWait(wide, timeoutMs, exitCode);
}

bool RunAndWait(const std::wstring& commandLine, DWORD timeoutMs, DWORD* exitCode) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    UniqueKernelHandle process(pi.hProcess);
    UniqueKernelHandle thread(pi.hThread);
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
        return false;
    }
    if (exitCode) ::GetExitCodeProcess(process.get(), exitCode);
    return true;
}

bool RunningUnderWine() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

namespace {
// Wide calls with the long-path prefix, so that names outside the code page
// and paths past 259 characters go too.
void DeleteTreeWide(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring full = path + L"\\" + name;
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                DeleteTreeWide(full);
            } else {
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!::DeleteFileW(full.c_str())) ::RemoveDirectoryW(full.c_str());
            }
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(path.c_str());
}
}  // namespace

std::string RecycleBinFiles() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (!data || data[0] != '/') return std::string();
    std::string path = std::string("Z:") + data + "/Trash/files/";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

void DeleteTree(const std::string& path) {
    std::wstring wide(path.size() + 1, L'\0');
    const int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    if (n <= 0) return;
    wide.resize(static_cast<size_t>(n - 1));
    const bool absolute = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\' &&
                          wide.find(L'/') == std::wstring::npos;
    while (absolute && wide.size() > 3 && wide.back() == L'\\') wide.pop_back();
    DeleteTreeWide(absolute ? L"\\\\?\\" + wide : wide);
}

UniqueFile HoldOpen(const std::string& path, DWORD share) {
    return UniqueFile(::CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

namespace {
std::vector<std::string> s_deniedFiles;

uint32_t DeniedReadOpenError(const std::string& path) {
    for (const auto& denied : s_deniedFiles)
        if (::lstrcmpiA(denied.c_str(), path.c_str()) == 0) return ERROR_ACCESS_DENIED;
    return SystemReadOpenError(path);
}
}  // namespace

AccessDeniedFiles::AccessDeniedFiles(std::vector<std::string> paths)
    : m_seam(g_pfnReadOpenError, &DeniedReadOpenError) {
    s_deniedFiles = std::move(paths);
}

AccessDeniedFiles::~AccessDeniedFiles() { s_deniedFiles.clear(); }

bool MakeFolderTree(const std::string& path) {
    std::string withSlash = path;
    if (withSlash.empty() || withSlash.back() != '\\') withSlash += '\\';
    return ::MakeSureDirectoryPathExists(withSlash.c_str()) != FALSE;
}

ScratchFolder::ScratchFolder(std::string path) : m_path(std::move(path)) {
    DeleteTree(m_path);
    EXPECT_TRUE(MakeFolderTree(m_path)) << m_path;
}

ScratchFolder::~ScratchFolder() { DeleteTree(m_path); }

namespace {
// The program holds its log open for nobody else: step aside to read it.
std::string ReadRunLog(const std::string& path) {
    const bool wasOpen = IsRunLogOpen();
    if (wasOpen) CloseRunLog();
    std::string all = ReadWholeFile(path);
    if (wasOpen) OpenRunLog(path);
    return all;
}
}  // namespace

LogWatch::LogWatch(std::string path) : m_path(std::move(path)) {
    m_startSize = static_cast<int64_t>(ReadRunLog(m_path).size());
}

std::string LogWatch::Appended() const {
    std::string all = ReadRunLog(m_path);
    if (static_cast<int64_t>(all.size()) < m_startSize) return all;
    return all.substr(static_cast<size_t>(m_startSize));
}

std::string UnixPathOf(const std::string& windowsPath) {
    using ToUnix = char*(__cdecl*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return std::string();
    std::wstring wide(windowsPath.size() + 1, L'\0');
    int n = ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    if (n <= 0) return std::string();
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) return std::string();
    std::string result = unixPath;
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

int RunUnixShell(const std::string& script, DWORD timeoutMs) {
    // Wine starts a Linux program but hands back no process handle: the
    // script leaves its status in a file that is polled for.
    static int counter = 0;
    const std::string status = "\\tmp\\zk_shell_" + std::to_string(::GetCurrentProcessId()) + "_" +
                               std::to_string(++counter) + ".status";
    const std::string statusWin = "Z:" + status;
    std::string statusUnix = status;
    for (char& c : statusUnix)
        if (c == '\\') c = '/';
    if (UnixPathOf("C:\\").empty()) return -1;
    ::DeleteFileA(statusWin.c_str());
    std::string line = "Z:\\bin\\sh -c \"( " + script + " ) >/dev/null 2>&1; echo $? > " + statusUnix + ".part; mv " +
                       statusUnix + ".part " + statusUnix + "\"";
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    if (pi.hProcess) ::CloseHandle(pi.hProcess);
    if (pi.hThread) ::CloseHandle(pi.hThread);
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
        const DWORD attr = ::GetFileAttributesA(statusWin.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES) {
            const std::string text = ReadWholeFile(statusWin);
            ::DeleteFileA(statusWin.c_str());
            return std::atoi(text.c_str());
        }
        ::Sleep(10);
    }
    return -1;
}

ScopedReadOnlyFolder::ScopedReadOnlyFolder(const std::string& windowsFolder) {
    const std::string dir = UnixPathOf(windowsFolder);
    if (dir.empty()) {
        m_why = "needs Wine";
        return;
    }
    const int rc = RunUnixShell("mount -t tmpfs -o ro,size=64k zk-read-only '" + dir + "'");
    if (rc != 0) {
        m_why = rc < 0 ? "cannot run a shell under Wine" : "mounting a tmpfs is not allowed here (needs root)";
        return;
    }
    m_unixFolder = dir;
}

ScopedReadOnlyFolder::~ScopedReadOnlyFolder() {
    if (Made()) RunUnixShell("umount '" + m_unixFolder + "'");
}

void PumpMessages(DWORD milliseconds) {
    const DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (milliseconds) ::Sleep(5);
    } while (::GetTickCount() - start < milliseconds);
}

HWND FindThreadWindow(const std::string& caption) {
    struct Find {
        const std::string* caption;
        HWND found;
    } f{&caption, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND wnd, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<Find*>(lp);
            char text[256] = {};
            ::GetWindowTextA(wnd, text, sizeof text);
            if (!::IsWindowVisible(wnd) || *f->caption != text) return TRUE;
            f->found = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.found;
}

namespace {
ModalDriver* s_driver = nullptr;
bool s_again = false;
}  // namespace

ModalDriver::ModalDriver(std::string caption, std::deque<Step> steps, std::function<bool(HWND)> ready,
                         DWORD deadlineMs)
    : m_caption(std::move(caption)),
      m_steps(std::move(steps)),
      m_ready(std::move(ready)),
      m_deadline(::GetTickCount() + deadlineMs) {
    s_driver = this;
    m_timer = ::SetTimer(nullptr, 0, 20, &ModalDriver::Tick);
}

ModalDriver::~ModalDriver() {
    if (m_timer) ::KillTimer(nullptr, m_timer);
    s_driver = nullptr;
}

void ModalDriver::Again() { s_again = true; }

void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* self = s_driver;
    if (!self || self->m_bBusy) return;
    HWND window = FindThreadWindow(self->m_caption);
    if (!window) return;
    if (static_cast<LONG>(::GetTickCount() - self->m_deadline) > 0) {
        ADD_FAILURE() << "\"" << self->m_caption << "\" did not come to its end in time";
        self->m_steps.clear();
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    if (self->m_ready && !self->m_ready(window)) return;
    if (self->m_steps.empty()) {
        // A step that failed before closing it: close, or the test hangs.
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        return;
    }
    self->m_bBusy = true;
    Step step = std::move(self->m_steps.front());
    self->m_steps.pop_front();
    s_again = false;
    step(window);
    if (s_again) self->m_steps.push_front(std::move(step));
    self->m_bBusy = false;
}

namespace {
std::vector<std::string> s_searchRoots;
std::vector<std::string> TestSearchRoots(bool) { return s_searchRoots; }
}  // namespace

ScopedSearchRoots::ScopedSearchRoots(std::vector<std::string> roots) : m_seam(g_pfnSearchRoots, &TestSearchRoots) {
    s_searchRoots = std::move(roots);
}

ScopedSearchRoots::~ScopedSearchRoots() { s_searchRoots.clear(); }

namespace {
LongWorkSteps* s_longWorkSteps = nullptr;
}

LongWorkSteps::LongWorkSteps(StepFn step) : m_step(std::move(step)) {
    s_longWorkSteps = this;
    g_pfnLongWorkStep = &LongWorkSteps::OnStep;
}

LongWorkSteps::~LongWorkSteps() {
    g_pfnLongWorkStep = nullptr;
    s_longWorkSteps = nullptr;
}

bool LongWorkSteps::OnStep(CLongWork& work, int held) {
    LongWorkSteps* self = s_longWorkSteps;
    if (!self) return false;
    if (held == 0) ++self->m_nSteps;
    return self->m_step(work, self->m_nSteps);
}

HangChecks::HangChecks(HWND wnd, int calls) : m_wnd(wnd), m_calls(calls) {
    m_thread.reset(::CreateThread(nullptr, 0, &HangChecks::Run, this, 0, nullptr));
}

HangChecks::~HangChecks() {
    if (m_thread) ::WaitForSingleObject(m_thread.get(), INFINITE);
}

DWORD WINAPI HangChecks::Run(void* param) {
    auto* self = static_cast<HangChecks*>(param);
    for (int i = 0; i < self->m_calls; ++i) {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutA(self->m_wnd, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result))
            ::InterlockedIncrement(&self->m_answered);
    }
    ::InterlockedExchange(&self->m_finished, 1);
    return 0;
}

FileState StateOf(const std::string& path) {
    FileState state{ReadWholeFile(path), {}};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) state.written = data.ftLastWriteTime;
    return state;
}

namespace {
void AddFilesBelow(const std::string& folder, FolderSnapshot& files) {
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!find) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            AddFilesBelow(path, files);
        else
            files[path] = StateOf(path);
    } while (::FindNextFileA(find.get(), &found));
}
}  // namespace

FolderSnapshot SnapshotOf(const std::string& folder) {
    FolderSnapshot files;
    AddFilesBelow(folder, files);
    return files;
}

std::string ShowFileBytes(const std::vector<std::string>& references, size_t length) {
    std::string bytes("WS4\0\x01", 5);
    for (const std::string& r : references) bytes += r + '\0';
    if (bytes.size() < length) bytes.append(length - bytes.size(), '\x7f');
    return bytes;
}

namespace {
constexpr char kDpiChildEnv[] = "ZK_AT_144_DPI";

// Sets HKCU\Control Panel\Desktop "LogPixels" for the processes started
// while it lives, and puts the old state back.
class ScopedLogPixels {
public:
    explicit ScopedLogPixels(DWORD dpi) {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          nullptr, &m_key, nullptr);
        DWORD size = sizeof m_old;
        m_hadOld = ::RegQueryValueExA(m_key, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&m_old), &size) ==
                   ERROR_SUCCESS;
        ::RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~ScopedLogPixels() {
        if (m_hadOld)
            ::RegSetValueExA(m_key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&m_old), sizeof m_old);
        else
            ::RegDeleteValueA(m_key, "LogPixels");
        ::RegCloseKey(m_key);
    }
    ScopedLogPixels(const ScopedLogPixels&) = delete;
    ScopedLogPixels& operator=(const ScopedLogPixels&) = delete;

private:
    HKEY m_key = nullptr;
    DWORD m_old = 0;
    bool m_hadOld = false;
};
}  // namespace

long RunTestsAt144Dpi(const std::string& filter) {
    char self[MAX_PATH] = {};
    if (::GetModuleFileNameA(nullptr, self, MAX_PATH) == 0) return -1;
    DWORD exitCode = 1;
    ScopedLogPixels dpi(144);
    ::SetEnvironmentVariableA(kDpiChildEnv, "1");
    const bool ran = RunAndWait(std::string("\"") + self + "\" --gtest_filter=" + filter, 120000, &exitCode);
    ::SetEnvironmentVariableA(kDpiChildEnv, nullptr);
    return ran ? static_cast<long>(exitCode) : -1;
}

bool InDpiChild() { return std::getenv(kDpiChildEnv) != nullptr; }

std::string ShotFolder(const std::string& name) { return name + (InDpiChild() ? "-144dpi\\" : "\\"); }

bool SaveShot(HWND wnd, const std::string& name) {
    const std::string path = ScreenshotFolder() + "\\" + name + ".bmp";
    MakeFolderTree(path.substr(0, path.find_last_of('\\')));
    ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Only the picture waits for this: Wine hands the painting to the X
    // server, which may take a moment.
    PumpMessages(300);
    return SaveScreenshot(wnd, path);
}

bool IsVisible(HWND page, int id) { return (::GetWindowLongA(::GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0; }

bool IsEnabled(HWND page, int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE; }

std::string ItemText(HWND page, int id) {
    HWND item = ::GetDlgItem(page, id);
    std::vector<char> buf(static_cast<size_t>(::GetWindowTextLengthA(item)) + 1);
    const int n = ::GetWindowTextA(item, buf.data(), static_cast<int>(buf.size()));
    return std::string(buf.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

namespace {
KeyAtDialogStart* s_keyAtStart = nullptr;
}

KeyAtDialogStart::KeyAtDialogStart(std::string caption, int controlId, WPARAM key)
    : m_caption(std::move(caption)), m_nControl(controlId), m_key(key) {
    s_keyAtStart = this;
    m_hook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, &KeyAtDialogStart::Hook, nullptr, ::GetCurrentThreadId());
}

KeyAtDialogStart::~KeyAtDialogStart() {
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
    s_keyAtStart = nullptr;
}

LRESULT CALLBACK KeyAtDialogStart::Hook(int code, WPARAM wp, LPARAM lp) {
    KeyAtDialogStart* self = s_keyAtStart;
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lp);
    if (code == HC_ACTION && self && !self->m_bPosted && call->message == WM_INITDIALOG &&
        WindowTitle(call->hwnd) == self->m_caption) {
        HWND control = ::GetDlgItem(call->hwnd, self->m_nControl);
        ::PostMessageA(control, WM_KEYDOWN, self->m_key, 1);
        ::PostMessageA(control, WM_KEYUP, self->m_key, 0xC0000001);
        self->m_bPosted = true;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

void ClickDialogButton(HWND dialog, int id) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

WizardHarness::WizardHarness() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    g_pApp = &m_app;
    ResetSharedState();
    m_app.BuildWizard();
    m_hSheet = m_app.Sheet()->Create();
    PumpMessages();
}

WizardHarness::~WizardHarness() {
    if (m_hSheet && ::IsWindow(m_hSheet)) ::DestroyWindow(m_hSheet);
    PumpMessages();
    m_app.DestroyWizard();
    g_pApp = nullptr;
}

int WizardHarness::CurrentIndex() const {
    HWND page = CurrentPage();
    return page ? static_cast<int>(::SendMessageA(m_hSheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0))
                : -1;
}

HWND WizardHarness::CurrentPage() const {
    return reinterpret_cast<HWND>(::SendMessageA(m_hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

void WizardHarness::Press(int psbtn) {
    ::SendMessageA(m_hSheet, PSM_PRESSBUTTON, static_cast<WPARAM>(psbtn), 0);
    PumpMessages();
}

void WizardHarness::GoTo(int index) {
    ::SendMessageA(m_hSheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    PumpMessages();
}

bool WizardHarness::IsButtonEnabled(int id) const {
    HWND b = ::GetDlgItem(m_hSheet, id);
    return b && ::IsWindowVisible(b) && ::IsWindowEnabled(b);
}

bool WizardHarness::IsButtonVisible(int id) const {
    HWND b = ::GetDlgItem(m_hSheet, id);
    return b && ::IsWindowVisible(b);
}

bool WizardHarness::Ended() const { return CurrentPage() == nullptr; }

namespace {
// The direct children of a tree item, with their texts.
std::vector<std::pair<HTREEITEM, std::string>> TreeChildren(HWND tree, HTREEITEM parent) {
    std::vector<std::pair<HTREEITEM, std::string>> children;
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(
        tree, TVM_GETNEXTITEM, parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
    while (item) {
        char buf[1024] = "";
        TVITEMA tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = item;
        tvi.pszText = buf;
        tvi.cchTextMax = sizeof buf;
        ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi));
        children.emplace_back(item, buf);
        item = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return children;
}
}  // namespace

std::vector<std::string> TreeChildTexts(HWND tree, HTREEITEM parent) {
    std::vector<std::string> texts;
    for (const auto& child : TreeChildren(tree, parent)) texts.push_back(child.second);
    return texts;
}

HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text) {
    for (const auto& child : TreeChildren(tree, parent))
        if (child.second == text) return child.first;
    return nullptr;
}

std::vector<std::string> ListBoxLines(HWND listBox) {
    std::vector<std::string> lines;
    const LRESULT n = ::SendMessageA(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        const LRESULT len = ::SendMessageA(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string line(static_cast<size_t>(len > 0 ? len : 0) + 1, '\0');
        ::SendMessageA(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&line[0]));
        line.resize(static_cast<size_t>(len > 0 ? len : 0));
        lines.push_back(line);
    }
    return lines;
}

WindowTextRecorder::WindowTextRecorder(HWND wnd) : m_wnd(wnd) {
    ::SetWindowSubclass(m_wnd, &WindowTextRecorder::Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

WindowTextRecorder::~WindowTextRecorder() {
    if (::IsWindow(m_wnd)) ::RemoveWindowSubclass(m_wnd, &WindowTextRecorder::Proc, 1);
}

LRESULT CALLBACK WindowTextRecorder::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                          DWORD_PTR ref) {
    auto* self = reinterpret_cast<WindowTextRecorder*>(ref);
    if (msg == WM_SETTEXT) {
        // Subclass procedures get the wide form of every message.
        const auto* text = reinterpret_cast<const wchar_t*>(lp);
        std::string narrow;
        if (text && *text) {
            const int n = ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, nullptr);
            narrow.assign(static_cast<size_t>(n > 0 ? n : 1), '\0');
            ::WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text, -1, &narrow[0], n, nullptr, nullptr);
            narrow.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
        }
        self->m_texts.push_back(narrow);
    }
    return ::DefSubclassProc(wnd, msg, wp, lp);
}

std::vector<TreeItem> ReadTree(HWND tree, HTREEITEM parent) {
    std::vector<TreeItem> items;
    auto item = reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    while (item) {
        char text[1100] = {};
        TVITEMA tvi{};
        tvi.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_HANDLE;
        tvi.hItem = item;
        tvi.pszText = text;
        tvi.cchTextMax = sizeof text;
        tvi.stateMask = TVIS_EXPANDED;
        ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvi));
        TreeItem read;
        read.text = text;
        read.image = tvi.iImage;
        read.selectedImage = tvi.iSelectedImage;
        read.expanded = (tvi.state & TVIS_EXPANDED) != 0;
        read.children = ReadTree(tree, item);
        items.push_back(std::move(read));
        item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    }
    return items;
}

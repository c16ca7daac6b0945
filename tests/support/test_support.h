// What the tests share: answering message boxes, reading the run log,
// driving the real wizard, and files on the Wine drives.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "files/file_helpers.h"
#include "analysis/folder_search.h"
#include "app/app.h"
#include "common/win_raii.h"
#include "wizard/long_work.h"

// A Linux path as Wine's Z: drive sees it.
std::string WinePath(const std::string& linuxPath);

// Answers every message box of the program and remembers what it said.
class MessageBoxRecorder {
public:
    struct Box {
        std::string text, caption;
        unsigned type;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    // Answers given in order; IDOK (or IDYES for a question) when none left.
    void QueueAnswer(int answer) { m_answers.push_back(answer); }
    const std::vector<Box>& Boxes() const { return m_boxes; }

private:
    static int Record(HWND__*, const std::string& text, const std::string& caption, unsigned type);
    std::vector<Box> m_boxes;
    std::deque<int> m_answers;
};

// The bytes that a test appends to the run log. Reading closes and
// reopens the log when the test process holds it.
class LogWatch {
public:
    explicit LogWatch(std::string path = "C:\\Zekerpad.log");
    std::string Appended() const;

private:
    std::string m_path;
    int64_t m_startSize;
};

// Records every URL the program would open in a browser, starting none.
class UrlOpenRecorder {
public:
    UrlOpenRecorder();
    ~UrlOpenRecorder();
    const std::vector<std::string>& Urls() const { return m_urls; }

private:
    static bool Record(HWND__*, const std::string& url);
    std::vector<std::string> m_urls;
};

// Runs a command line and waits for the program to end. False when it
// could not be started or did not end in time (it is then ended).
bool RunAndWait(const std::string& commandLine, DWORD timeoutMs, DWORD* exitCode = nullptr);
// The same for a command line the code page cannot hold ("Łódź").
bool RunAndWait(const std::wstring& commandLine, DWORD timeoutMs, DWORD* exitCode = nullptr);

// True under Wine, where a few Windows tools are stubs.
bool RunningUnderWine();

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
void DeleteTree(const std::string& path);
// Where Wine puts what is moved to the Recycle Bin during the tests (the
// trash in $XDG_DATA_HOME, which wine-env.sh keeps in the build folder),
// as a Windows path ending in a backslash; empty when that is not set.
std::string RecycleBinFiles();
// The file opened for reading the way another program might hold it:
// share 0 for exclusively, FILE_SHARE_READ to let others read.
UniqueFile HoldOpen(const std::string& path, DWORD share);

// Replaces one of the program's seams (a function pointer that defaults
// to the real call) for the length of a scope, and puts back what was there.
template <typename Fn>
class ScopedSeam {
public:
    ScopedSeam(Fn& seam, Fn replacement) : m_seam(seam), m_saved(seam) { seam = replacement; }
    ~ScopedSeam() { m_seam = m_saved; }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Fn& m_seam;
    Fn m_saved;
};

// While it lives, the files this test names are ones the user may not read
// (access denied): Wine runs as root, so no permission can refuse it. The
// file must also be held open (HoldOpen) so that the plain read fails.
class AccessDeniedFiles {
public:
    explicit AccessDeniedFiles(std::vector<std::string> paths);
    ~AccessDeniedFiles();
    AccessDeniedFiles(const AccessDeniedFiles&) = delete;
    AccessDeniedFiles& operator=(const AccessDeniedFiles&) = delete;

private:
    ScopedSeam<ReadOpenErrorFn> m_seam;
};

// Makes the folder and every missing folder above it.
bool MakeFolderTree(const std::string& path);

// A folder of a test's own, empty at the start and removed at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(std::string path);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return m_path; }
    // The folder's path joined with a relative one.
    std::string operator/(const std::string& relative) const { return m_path + "\\" + relative; }

private:
    std::string m_path;
};

// Under Wine only: the Linux path of a Windows path (empty elsewhere or
// when Wine cannot map it).
std::string UnixPathOf(const std::string& windowsPath);

// Under Wine only: runs a /bin/sh script on the Linux side and waits for
// it. Returns its exit status, or -1 when no script can be run (not under
// Wine, or it did not finish within the time). The script may not hold
// double quotes.
int RunUnixShell(const std::string& script, DWORD timeoutMs = 30000);

// Under Wine as root only: an empty read-only tmpfs mounted over an
// existing folder for one test, so that nothing can be made in it (root
// ignores the permission bits). Made() is false with Why() saying what was
// not allowed. Unmounted again by the destructor.
class ScopedReadOnlyFolder {
public:
    explicit ScopedReadOnlyFolder(const std::string& windowsFolder);
    ~ScopedReadOnlyFolder();
    ScopedReadOnlyFolder(const ScopedReadOnlyFolder&) = delete;
    ScopedReadOnlyFolder& operator=(const ScopedReadOnlyFolder&) = delete;
    bool Made() const { return !m_unixFolder.empty(); }
    const std::string& Why() const { return m_why; }

private:
    std::string m_unixFolder;
    std::string m_why;
};

// Runs the message loop for a while, or until the queue is empty.
void PumpMessages(DWORD milliseconds = 0);

// The visible window of this thread with exactly this caption, or null.
HWND FindThreadWindow(const std::string& caption);

// Drives a modal window of this thread from inside its own message loop,
// the way to work a dialog from the test that opened it: a timer looks for
// the visible window with the caption and, once ready() holds for it (when
// given), runs the next step; one step per tick. A step whose moment has
// not come calls Again() and runs again at the next tick. The last step
// must close the window. Past the deadline the test fails and the window
// is closed, so a test never hangs.
class ModalDriver {
public:
    using Step = std::function<void(HWND)>;
    ModalDriver(std::string caption, std::deque<Step> steps, std::function<bool(HWND)> ready = {},
                DWORD deadlineMs = 60000);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;
    // Every step has run.
    bool Done() const { return m_steps.empty(); }
    static void Again();

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::string m_caption;
    std::deque<Step> m_steps;
    std::function<bool(HWND)> m_ready;
    DWORD m_deadline;
    UINT_PTR m_timer = 0;
    bool m_bBusy = false;
};

// Posts a key (down, up) to a control of a dialog of this thread right after
// the dialog's initialisation, so that it waits behind whatever the dialog
// posted itself then: a key pressed as its work begins.
class KeyAtDialogStart {
public:
    KeyAtDialogStart(std::string caption, int controlId, WPARAM key);
    ~KeyAtDialogStart();
    bool Posted() const { return m_bPosted; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
    std::string m_caption;
    int m_nControl;
    WPARAM m_key;
    HHOOK m_hook = nullptr;
    bool m_bPosted = false;
};

// While it lives, the searches (for shows, for missing files) walk only
// these folders, not every drive (g_pfnSearchRoots).
class ScopedSearchRoots {
public:
    explicit ScopedSearchRoots(std::vector<std::string> roots);
    ~ScopedSearchRoots();
    ScopedSearchRoots(const ScopedSearchRoots&) = delete;
    ScopedSearchRoots& operator=(const ScopedSearchRoots&) = delete;

private:
    ScopedSeam<SearchRootsFn> m_seam;
};

// Holds long work at each of its steps for as long as the test needs
// (g_pfnLongWorkStep): step() is called at every step with the work and
// the count of steps so far (1 at the first); while it answers true the
// work waits at that step, its window handling messages, and step() is
// called again with the same count.
class LongWorkSteps {
public:
    using StepFn = std::function<bool(CLongWork& work, int step)>;
    explicit LongWorkSteps(StepFn step);
    ~LongWorkSteps();
    LongWorkSteps(const LongWorkSteps&) = delete;
    LongWorkSteps& operator=(const LongWorkSteps&) = delete;
    int Steps() const { return m_nSteps; }

private:
    static bool OnStep(CLongWork& work, int held);
    StepFn m_step;
    int m_nSteps = 0;
};

// Asks a window of this thread from another thread, as the system does to
// see whether a program hangs: calls times WM_NULL, each given a second to
// be answered. Meant to run while long work is held at a step.
class HangChecks {
public:
    HangChecks(HWND wnd, int calls);
    ~HangChecks();
    HangChecks(const HangChecks&) = delete;
    HangChecks& operator=(const HangChecks&) = delete;
    bool Finished() const { return m_finished != 0; }
    int Answered() const { return m_answered; }

private:
    static DWORD WINAPI Run(void* self);
    HWND m_wnd;
    int m_calls;
    volatile LONG m_answered = 0;
    volatile LONG m_finished = 0;
    UniqueKernelHandle m_thread;
};

// Every file below a folder with its bytes and its time of writing: a
// "nothing changed" snapshot to compare before and after.
struct FileState {
    std::string bytes;
    FILETIME written{};
    bool operator==(const FileState& o) const {
        return bytes == o.bytes && ::CompareFileTime(&written, &o.written) == 0;
    }
};
using FolderSnapshot = std::map<std::string, FileState>;
FolderSnapshot SnapshotOf(const std::string& folder);
// One file alone.
FileState StateOf(const std::string& path);

// The bytes of a show file naming these references: a header, then each
// reference with its zero, padded with show data to length (when longer).
std::string ShowFileBytes(const std::vector<std::string>& references, size_t length = 0);

// A picture of the window for people to look at, after it has painted:
// <screenshots>\<name>.bmp (name may hold a subfolder, made when missing).
bool SaveShot(HWND wnd, const std::string& name);

// Runs the tests of this program that match filter (GoogleTest's form)
// again in a process of its own whose screen is set to 144 DPI, as a user
// sets it in the registry; its exit code, or -1 when it did not run. That
// process sees InDpiChild() true, and a test run there skips its own
// RunTestsAt144Dpi.
long RunTestsAt144Dpi(const std::string& filter);
bool InDpiChild();
// The folder for a picture in this process: name, or name-144dpi in the
// child at 144 DPI, with a backslash.
std::string ShotFolder(const std::string& name);

// A tree control's items in this process, with their pictures: the items
// under parent (nullptr: the top level), each with its own below it.
struct TreeItem {
    std::string text;
    int image = -1;
    int selectedImage = -1;
    bool expanded = false;
    std::vector<TreeItem> children;
};
std::vector<TreeItem> ReadTree(HWND tree, HTREEITEM parent = nullptr);

// A control of a page or dialog of this process: shown, usable, its text.
bool IsVisible(HWND page, int id);
bool IsEnabled(HWND page, int id);
std::string ItemText(HWND page, int id);

// Presses a button of a dialog as a click would.
void ClickDialogButton(HWND dialog, int id);

// The real wizard, modeless in the test process, with the run log open.
class WizardHarness {
public:
    WizardHarness();
    ~WizardHarness();

    HWND Sheet() const { return m_hSheet; }
    CWingsTestApp& App() { return m_app; }
    int CurrentIndex() const;
    HWND CurrentPage() const;
    // Presses Next, Back or Finish (PSBTN_*) and lets the pages answer.
    void Press(int psbtn);
    void GoTo(int index);
    // State of the wizard's own buttons.
    bool IsButtonEnabled(int id) const;
    bool IsButtonVisible(int id) const;
    // True once Finish or Cancel has ended the wizard.
    bool Ended() const;

    static constexpr int kBack = 0x3023, kNext = 0x3024, kFinish = 0x3025;

private:
    CWingsTestApp m_app;
    HWND m_hSheet = nullptr;
};

// Texts of the direct children of a tree item (TVI_ROOT for the top level),
// in the tree's own order.
std::vector<std::string> TreeChildTexts(HWND tree, HTREEITEM parent);
// The direct child with exactly this text, or null.
HTREEITEM FindTreeChild(HWND tree, HTREEITEM parent, const std::string& text);
// Every line of a list box, in its order.
std::vector<std::string> ListBoxLines(HWND listBox);

// Records every text a window is given (WM_SETTEXT), for as long as the
// recorder lives.
class WindowTextRecorder {
public:
    explicit WindowTextRecorder(HWND wnd);
    ~WindowTextRecorder();
    WindowTextRecorder(const WindowTextRecorder&) = delete;
    WindowTextRecorder& operator=(const WindowTextRecorder&) = delete;
    const std::vector<std::string>& Texts() const { return m_texts; }

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    HWND m_wnd;
    std::vector<std::string> m_texts;
};

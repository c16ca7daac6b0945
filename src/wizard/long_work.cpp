#include "wizard/long_work.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

#include "common/partial_file.h"

namespace {
// The wizard's own buttons (Back, Next, Finish, Cancel, Help).
const int kSheetButtons[] = {0x3023, 0x3024, 0x3025, IDCANCEL, IDHELP};

CLongWork* s_pCurrent = nullptr;

bool ClassIs(HWND wnd, const char* name) {
    char cls[32] = {};
    ::GetClassNameA(wnd, cls, sizeof cls);
    return std::strcmp(cls, name) == 0;
}

bool IsPropertySheet(HWND root, HWND window) { return root != window && ::GetParent(window) == root; }

void DefaultSessionEnd() {
    // The application's own handler replaces this; without it, just end.
    ::ExitProcess(0);
}
}  // namespace

SessionEndFn g_pfnSessionEnd = &DefaultSessionEnd;
LongWorkStepFn g_pfnLongWorkStep = nullptr;

CLongWork::CLongWork(HWND window, int stopControl)
    : m_hWindow(window),
      m_hRoot(::GetAncestor(window, GA_ROOT)),
      m_nStopControl(stopControl),
      m_nLastPump(::GetTickCount() - kPumpIntervalMs),
      m_hFocus(::GetFocus()),
      m_pOuter(s_pCurrent) {
    s_pCurrent = this;
    DisableControls();
    ::SetWindowSubclass(m_hRoot, &CLongWork::RootProc, Id(), reinterpret_cast<DWORD_PTR>(this));
    if (m_hWindow != m_hRoot)
        ::SetWindowSubclass(m_hWindow, &CLongWork::WindowProc, Id(), reinterpret_cast<DWORD_PTR>(this));
}

CLongWork::CLongWork(HWND window, WholeWindow)
    : m_hWindow(window),
      m_hRoot(::GetAncestor(window, GA_ROOT)),
      m_nStopControl(0),
      m_bWholeWindow(true),
      m_nLastPump(::GetTickCount() - kPumpIntervalMs),
      m_hFocus(::GetFocus()),
      m_pOuter(s_pCurrent) {
    s_pCurrent = this;
    if (m_hRoot && ::IsWindowEnabled(m_hRoot)) {
        ::EnableWindow(m_hRoot, FALSE);
        m_disabled.push_back(m_hRoot);
    }
    if (m_hRoot)
        ::SetWindowSubclass(m_hRoot, &CLongWork::RootProc, Id(), reinterpret_cast<DWORD_PTR>(this));
}

CLongWork::~CLongWork() {
    if (m_hRoot) ::RemoveWindowSubclass(m_hRoot, &CLongWork::RootProc, Id());
    if (m_hWindow != m_hRoot) ::RemoveWindowSubclass(m_hWindow, &CLongWork::WindowProc, Id());
    for (HWND control : m_disabled)
        if (::IsWindow(control)) ::EnableWindow(control, TRUE);
    // The page's last word on Back and Next, held back while the work ran.
    if (m_bWizButtonsPending && ::IsWindow(m_hRoot))
        ::SendMessageA(m_hRoot, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(m_nWizButtons));
    if (m_hFocus && ::IsWindow(m_hFocus) && ::IsWindowEnabled(m_hFocus) && ::IsWindowVisible(m_hFocus))
        ::SetFocus(m_hFocus);
    s_pCurrent = m_pOuter;
    // The user closed the window while the work ran: close it now, by the
    // same way, so the wizard asks its pages as for any Cancel.
    if (m_bCloseAfter && ::IsWindow(m_hRoot)) ::PostMessageA(m_hRoot, WM_SYSCOMMAND, SC_CLOSE, 0);
}

CLongWork* CLongWork::Current() { return s_pCurrent; }

void CLongWork::Disable(HWND control) {
    if (!control || !::IsWindowEnabled(control)) return;
    ::EnableWindow(control, FALSE);
    m_disabled.push_back(control);
}

void CLongWork::DisableControls() {
    if (IsPropertySheet(m_hRoot, m_hWindow))
        for (int id : kSheetButtons) Disable(::GetDlgItem(m_hRoot, id));
    HWND stop = m_nStopControl ? ::GetDlgItem(m_hWindow, m_nStopControl) : nullptr;
    for (HWND child = ::GetWindow(m_hWindow, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        // Texts and progress bars only show: greyed they would be hard to read.
        if (child == stop || ClassIs(child, "Static") || ClassIs(child, PROGRESS_CLASSA)) continue;
        Disable(child);
    }
    // Keys go to the stop control, or to the window itself, not to nothing.
    ::SetFocus(stop ? stop : m_hWindow);
}

bool CLongWork::Pump() {
    // A test's hold only watches and waits: the messages are handled here,
    // by the same code and on the same clock as in the program, held or not.
    for (int held = 0;; ++held) {
        if (::GetTickCount() - m_nLastPump >= kPumpIntervalMs) {
            PumpNow();
            if (m_bSessionQuery) WaitForSessionAnswer();
            m_nLastPump = ::GetTickCount();
        }
        if (m_bStop || !g_pfnLongWorkStep || !g_pfnLongWorkStep(*this, held)) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpIntervalMs, QS_ALLINPUT);
    }
    return !m_bStop;
}

void CLongWork::PumpNow() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the loop that owns the program's end.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_bStop = true;
            return;
        }
        const HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && root == m_hRoot) {
            if (m_nStopControl) RequestStop();
            continue;
        }
        // The dialog would take Enter for OK and end itself, with the work
        // going on behind it.
        if ((msg.message == WM_KEYDOWN || msg.message == WM_CHAR) && msg.wParam == VK_RETURN && root == m_hRoot)
            continue;
        if (root && ::IsDialogMessageA(root, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void CLongWork::WaitForSessionAnswer() {
    // Windows sends its answer right after every program has agreed; a
    // system that never sends it must not hold the work for ever.
    constexpr DWORD kLongestWaitMs = 30000;
    const DWORD start = ::GetTickCount();
    while (m_bSessionQuery && !m_bStop) {
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= kLongestWaitMs) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kLongestWaitMs - waited, QS_ALLINPUT);
        PumpNow();
    }
    m_bSessionQuery = false;
}

void CLongWork::WaitDisabled(HWND window, HANDLE handle) {
    CLongWork work(window, WholeWindow{});
    for (;;) {
        const DWORD r = ::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) break;  // signalled, or the handle failed
        work.PumpNow();
    }
}

bool CLongWork::IsStopClick(UINT msg, WPARAM wp) const {
    return msg == WM_COMMAND && m_nStopControl && LOWORD(wp) == m_nStopControl && HIWORD(wp) == BN_CLICKED;
}

LRESULT CALLBACK CLongWork::RootProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CLongWork*>(ref);
    if (self->m_hWindow == hwnd && self->IsStopClick(msg, wp)) {
        self->RequestStop();
        return 0;
    }
    switch (msg) {
    case PSM_SETWIZBUTTONS:
        // A request posted before or during the work would enable Back or
        // Next in the middle of it: keep it for the end.
        if (IsPropertySheet(self->m_hRoot, self->m_hWindow)) {
            self->m_bWizButtonsPending = true;
            self->m_nWizButtons = static_cast<DWORD>(lp);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) != SC_CLOSE) break;
        [[fallthrough]];
    case WM_CLOSE:
        if (self->m_nStopControl) {
            self->RequestStop();
            self->m_bCloseAfter = true;
        }
        return 0;
    case WM_QUERYENDSESSION:
        // Agreed, but not stopped yet: the log-off may still be cancelled.
        self->m_bSessionQuery = true;
        return TRUE;
    case WM_ENDSESSION:
        self->m_bSessionQuery = false;
        if (wp) {
            self->RequestStop();
            ScopedPartialFile::MarkAllForDeletion();
            g_pfnSessionEnd();
        }
        return 0;
    case WM_SETCURSOR:
        // Busy, yet the window answers: the arrow with the hourglass.
        if (!self->m_bWholeWindow && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(::LoadCursor(nullptr, IDC_APPSTARTING));
            return TRUE;
        }
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK CLongWork::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CLongWork*>(ref);
    // The stop control asks the work to stop; the work's own handler never
    // sees the click, so it cannot start the work a second time.
    if (self->IsStopClick(msg, wp)) {
        self->RequestStop();
        return 0;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

// How the program runs work that can take longer than a moment: a search
// of the drives, copies, a back-up, waiting for Wings.
//
// The work runs on the user-interface thread, in the handler that started
// it, and handles the program's waiting messages between its steps (a
// folder, a chunk of a copy). So the window keeps painting and answering
// the system, message boxes still come from the one thread and block the
// work until answered, and the shared state and the run log are never
// touched from two threads. While the work runs, the controls of its page
// or dialog and, on a wizard page, the wizard's own buttons are disabled,
// so nothing can start twice; only its stop control stays usable. Esc and
// the close box then ask the work to stop (the close box closes the
// window once the work has ended); Enter does nothing, so a stray key
// never closes a dialog whose work goes on. When Windows asks whether the
// session may end, the work waits for its answer: when the session ends,
// files being written are removed (ScopedPartialFile), the run log gets
// its stop entry and the program ends; when the log-off is cancelled, the
// work goes on as if nothing happened.
#pragma once

#include <windows.h>

#include <vector>

class CLongWork {
public:
    // window: the page or dialog whose work this is. stopControl: the id of
    // the control that stops the work, or 0 when the user cannot stop it
    // (then Esc and the close box are ignored until it ends).
    explicit CLongWork(HWND window, int stopControl = 0);
    ~CLongWork();
    CLongWork(const CLongWork&) = delete;
    CLongWork& operator=(const CLongWork&) = delete;

    // Called between the work's steps (a folder, a chunk, a file, a show).
    // Handles the messages waiting for the program, at most every
    // kPumpIntervalMs (cheap to call per step), and always at the first
    // call, so a stop asked for before the work began is seen at its first
    // step. False once a stop has been asked for.
    bool Pump();
    // Often enough that the system never sees the window as hung and a
    // stop is seen at once, rarely enough that a walk of many small folders
    // or a check of many small shows pays little for it.
    static constexpr DWORD kPumpIntervalMs = 25;
    bool StopRequested() const { return m_bStop; }
    void RequestStop() { m_bStop = true; }

    // The innermost work running now, or null.
    static CLongWork* Current();

    // Waits until handle is signalled (a process ends), with window's whole
    // top-level window disabled but painting and answering meanwhile.
    static void WaitDisabled(HWND window, HANDLE handle);

private:
    // Only the waits of WaitDisabled: the whole window is disabled instead.
    struct WholeWindow {};
    CLongWork(HWND window, WholeWindow);

    void PumpNow();
    // Handles messages, without going on, until Windows says whether the
    // session ends (or the user stops the work).
    void WaitForSessionAnswer();
    bool IsStopClick(UINT msg, WPARAM wp) const;
    // Each work subclasses under its own id, so nested works never clash.
    UINT_PTR Id() const { return reinterpret_cast<UINT_PTR>(this); }
    void DisableControls();
    void Disable(HWND control);
    static LRESULT CALLBACK RootProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    HWND m_hWindow;
    HWND m_hRoot;
    int m_nStopControl;
    bool m_bStop = false;
    // Windows asked whether the session may end and has not said yet.
    bool m_bSessionQuery = false;
    bool m_bCloseAfter = false;
    bool m_bWholeWindow = false;
    bool m_bWizButtonsPending = false;
    DWORD m_nWizButtons = 0;
    DWORD m_nLastPump = 0;
    HWND m_hFocus = nullptr;
    // Controls this work disabled, to be enabled again at its end.
    std::vector<HWND> m_disabled;
    CLongWork* m_pOuter;
};

// Called when Windows ends the session while long work runs, after files
// being written were marked for deletion: writes the run log's stop entry
// and ends the process. Tests replace it to see that it was called.
using SessionEndFn = void (*)();
extern SessionEndFn g_pfnSessionEnd;

// Tests only (null in the program): called at every Pump(), after the
// messages due were handled, with held 0. A test uses it to look at the
// work at a known step, instead of hoping the work lasts long enough to be
// seen: it reads the window, asks for a stop, or holds the work. While it
// answers true the work stays at this step and it is called again with
// held 1, 2, ...; meanwhile Pump() goes on handling the messages exactly
// as it does unheld, so what a test proves of the pump is the real pump.
using LongWorkStepFn = bool (*)(CLongWork& work, int held);
extern LongWorkStepFn g_pfnLongWorkStep;

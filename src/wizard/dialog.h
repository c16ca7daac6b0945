// A thin layer over Win32 dialogs: a dialog is a plain class with virtual
// handlers; its object pointer lives in the window's user data from
// WM_INITDIALOG on. No macros, no message maps.
#pragma once

#include <windows.h>

#include <string>

class CDialogBase {
public:
    virtual ~CDialogBase() = default;

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    std::string GetItemText(int id) const;
    // The text as typed, whatever the code page holds: a path from the user.
    std::wstring GetItemTextWide(int id) const;
    void SetItemText(int id, const std::string& text) const;
    void EnableItem(int id, bool enable) const;
    void ShowItem(int id, bool show) const;
    bool IsItemEnabled(int id) const;

protected:
    // Each returns true when it handled the message.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*ctl*/) { return false; }
    virtual bool OnNotify(NMHDR* /*hdr*/, LRESULT& /*result*/) { return false; }
    virtual bool OnPaint() { return false; }
    // Anything else; return true and set result when handled.
    virtual bool OnMessage(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return false; }

    // Shared dispatch for modal dialogs and property pages.
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

    HWND m_hWnd = nullptr;
};

// A modal dialog on a template of the program's resources.
class CModalDialog : public CDialogBase {
public:
    // helpSection: the id of the dialog's own section in the manual, which
    // F1 opens; without one, F1 goes to the owner as before.
    explicit CModalDialog(int templateId, const char* helpSection = nullptr)
        : m_nTemplate(templateId), m_pszHelpSection(helpSection) {}
    // IDOK, IDCANCEL, or -1 when the dialog could not be made.
    INT_PTR DoModal(HWND owner);

protected:
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    void End(INT_PTR result) { ::EndDialog(m_hWnd, result); }
    // Long work that begins as the dialog opens: from OnInitDialog. A
    // modal dialog shows itself only once its queue is first empty, which
    // would be after the work; so it is shown first, then OnWorkStart runs
    // (once).
    void StartWorkWhenShown();
    virtual void OnWorkStart() {}
    bool OnCommand(int id, int code, HWND ctl) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    int m_nTemplate;
    const char* m_pszHelpSection;
    bool m_bWorkStarted = false;
};

// Centres a window over another (or over the screen when there is none).
void CenterWindowOver(HWND wnd, HWND over);

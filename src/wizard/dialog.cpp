#include "wizard/dialog.h"

#include <vector>

#include "services/help.h"

std::string CDialogBase::GetItemText(int id) const {
    HWND item = GetItem(id);
    int len = ::GetWindowTextLengthA(item);
    if (len <= 0) return std::string();
    std::vector<char> buf(static_cast<size_t>(len) + 1);
    int got = ::GetWindowTextA(item, buf.data(), len + 1);
    return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

std::wstring CDialogBase::GetItemTextWide(int id) const {
    HWND item = GetItem(id);
    const int length = ::GetWindowTextLengthW(item);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(item, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void CDialogBase::SetItemText(int id, const std::string& text) const {
    ::SetDlgItemTextA(m_hWnd, id, text.c_str());
}

void CDialogBase::EnableItem(int id, bool enable) const { ::EnableWindow(GetItem(id), enable); }

void CDialogBase::ShowItem(int id, bool show) const {
    ::ShowWindow(GetItem(id), show ? SW_SHOW : SW_HIDE);
}

bool CDialogBase::IsItemEnabled(int id) const { return ::IsWindowEnabled(GetItem(id)) != FALSE; }

INT_PTR CDialogBase::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (!OnNotify(reinterpret_cast<NMHDR*>(lp), result)) return FALSE;
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_PAINT:
        return OnPaint() ? TRUE : FALSE;
    default: {
        LRESULT result = 0;
        if (!OnMessage(msg, wp, lp, result)) return FALSE;
        ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
        return TRUE;
    }
    }
}

INT_PTR CModalDialog::DoModal(HWND owner) {
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nTemplate), owner,
                             &CModalDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CModalDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) { OnOK(); return true; }
    if (id == IDCANCEL) { OnCancel(); return true; }
    return false;
}

namespace {
// Posted by a dialog to itself; far from the WM_APP messages of the dialogs.
constexpr UINT kMsgStartWork = WM_APP + 0x3F00;
}  // namespace

void CModalDialog::StartWorkWhenShown() { ::PostMessageA(m_hWnd, kMsgStartWork, 0, 0); }

INT_PTR CALLBACK CModalDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CModalDialog* self = nullptr;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CModalDialog*>(lp);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, lp);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CModalDialog*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return FALSE;
    if (msg == WM_HELP && self->m_pszHelpSection) {
        // F1 on any control of the dialog: its own section, not the page's.
        ShowManualSection(hwnd, self->m_pszHelpSection);
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    if (msg == kMsgStartWork) {
        if (!self->m_bWorkStarted) {
            self->m_bWorkStarted = true;
            ::ShowWindow(hwnd, SW_SHOW);
            ::UpdateWindow(hwnd);
            self->OnWorkStart();
        }
        return TRUE;
    }
    INT_PTR r = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) self->m_hWnd = nullptr;
    return r;
}

void CenterWindowOver(HWND wnd, HWND over) {
    RECT rc{}, area{};
    ::GetWindowRect(wnd, &rc);
    if (over && ::IsWindow(over)) {
        ::GetWindowRect(over, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = area.left + ((area.right - area.left) - w) / 2;
    int y = area.top + ((area.bottom - area.top) - h) / 2;
    // Keep the title bar on the screen.
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    if (x + w > work.right) x = work.right - w;
    if (y + h > work.bottom) y = work.bottom - h;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

#include "wizard/property_page.h"

#include "services/help.h"

HPROPSHEETPAGE CPropertyPage::CreatePageHandle() {
    PROPSHEETPAGEA psp{};
    psp.dwSize = sizeof psp;
    // Every page offers the Help button; the sheet shows it only then.
    psp.dwFlags = PSP_DEFAULT | PSP_HASHELP;
    psp.hInstance = ::GetModuleHandleA(nullptr);
    psp.pszTemplate = MAKEINTRESOURCEA(m_nTemplate);
    psp.pfnDlgProc = &CPropertyPage::PageProc;
    psp.lParam = reinterpret_cast<LPARAM>(this);
    return ::CreatePropertySheetPageA(&psp);
}

CPropertyPage* CPropertyPage::FromHwnd(HWND page) {
    if (!page) return nullptr;
    return reinterpret_cast<CPropertyPage*>(::GetWindowLongPtrA(page, GWLP_USERDATA));
}

void CPropertyPage::PostWizardButtons(DWORD flags) const {
    ::PostMessageA(GetSheetHwnd(), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}

void CPropertyPage::SetActivePage(int index) const {
    ::SendMessageA(GetSheetHwnd(), PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool CPropertyPage::HandleSheetNotify(NMHDR* hdr, LRESULT& result) {
    switch (hdr->code) {
    case PSN_SETACTIVE:
        result = OnSetActive() ? 0 : -1;
        return true;
    case PSN_KILLACTIVE:
        result = OnKillActive() ? FALSE : TRUE;
        return true;
    case PSN_WIZNEXT:
        result = OnWizardNext() ? 0 : -1;
        return true;
    case PSN_WIZBACK:
        result = OnWizardBack() ? 0 : -1;
        return true;
    case PSN_HELP:
        ShowManualForSheet(GetSheetHwnd());
        result = 0;
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CPropertyPage* self = nullptr;
    if (msg == WM_INITDIALOG) {
        auto* psp = reinterpret_cast<PROPSHEETPAGEA*>(lp);
        self = reinterpret_cast<CPropertyPage*>(psp->lParam);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, psp->lParam);
        self->m_hWnd = hwnd;
    } else {
        self = FromHwnd(hwnd);
    }
    if (!self) return FALSE;

    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        LRESULT result = 0;
        if (hdr->hwndFrom == self->GetSheetHwnd() && self->HandleSheetNotify(hdr, result)) {
            ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }
    INT_PTR r = self->Dispatch(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return r;
}

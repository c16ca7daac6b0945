// A wizard page on a dialog template: a plain class with virtual handlers
// for the property sheet's notifications.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include "wizard/dialog.h"

class CPropertyPage : public CDialogBase {
public:
    explicit CPropertyPage(int templateId) : m_nTemplate(templateId) {}

    // The page's run-time class name, as written to the run log.
    virtual const char* ClassName() const = 0;

    // Makes the handle the sheet needs; the page must outlive the sheet.
    HPROPSHEETPAGE CreatePageHandle();

    HWND GetSheetHwnd() const { return ::GetParent(m_hWnd); }

    // The page object behind a page window, or null.
    static CPropertyPage* FromHwnd(HWND page);

protected:
    // True accepts the activation; false refuses it, and the sheet passes
    // on in the direction of travel.
    virtual bool OnSetActive() { return true; }
    // Called when the sheet leaves the page for another one by any way
    // (Next, Back, a jump); false keeps the page.
    virtual bool OnKillActive() { return true; }
    // False keeps the wizard on the page.
    virtual bool OnWizardNext() { return true; }
    virtual bool OnWizardBack() { return true; }

    // Posted, not sent: the request takes effect after the activation, so the
    // page that is finally shown has the last word.
    void PostWizardButtons(DWORD flags) const;
    // Makes the page with this index the active page.
    void SetActivePage(int index) const;
    // Marks the whole page for repainting without erasing.
    void InvalidatePage() const { ::InvalidateRect(m_hWnd, nullptr, FALSE); }

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    bool HandleSheetNotify(NMHDR* hdr, LRESULT& result);

    int m_nTemplate;
};

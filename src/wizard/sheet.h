// The wizard: a property sheet in wizard mode that adds the application
// icon, the about box in the system menu and the blink timer of the
// traffic light.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

class CPropertyPage;

class CPropertySheetWingsTest {
public:
    CPropertySheetWingsTest(std::string caption, HWND parent, int startPage);
    ~CPropertySheetWingsTest();
    CPropertySheetWingsTest(const CPropertySheetWingsTest&) = delete;
    CPropertySheetWingsTest& operator=(const CPropertySheetWingsTest&) = delete;

    // The page is not owned and must outlive the sheet.
    void AddPage(CPropertyPage* page) { m_pages.push_back(page); }
    void SetWizardMode() { m_bWizard = true; }

    // Runs the wizard until Finish or Cancel; the platform's result.
    INT_PTR DoModal();
    // For tests: the same wizard, modeless; returns its window.
    HWND Create();

    HWND GetSafeHwnd() const { return m_hWnd; }

    HICON m_hIcon = nullptr;
    UINT_PTR m_nTimer = 0;

private:
    INT_PTR Run(bool modeless);
    void OnInitDialog();
    static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lp);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                         DWORD_PTR ref);
    bool OnSysCommand(WPARAM cmd);
    void OnTimer();
    bool OnPaint();

    std::string m_csCaption;
    HWND m_hParent;
    int m_nStartPage;
    bool m_bWizard = false;
    std::vector<CPropertyPage*> m_pages;
    HWND m_hWnd = nullptr;
};

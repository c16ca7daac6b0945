#include "wizard/sheet.h"

#include "wizard/about_box.h"
#include "common/res_string.h"
#include "services/help.h"
#include "wizard/dialog.h"
#include "wizard/page_base.h"
#include "services/state.h"
#include "resource.h"

namespace {
// The sheet being created; the platform's callback carries no pointer of
// ours, and there is one thread.
CPropertySheetWingsTest* s_pCreating = nullptr;
constexpr UINT_PTR kSubclassId = 1;
constexpr UINT_PTR kBlinkTimerId = 1;
constexpr UINT kBlinkMilliseconds = 700;
}  // namespace

CPropertySheetWingsTest::CPropertySheetWingsTest(std::string caption, HWND parent, int startPage)
    : m_hIcon(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP))),
      m_csCaption(std::move(caption)),
      m_hParent(parent),
      m_nStartPage(startPage) {}

CPropertySheetWingsTest::~CPropertySheetWingsTest() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

INT_PTR CPropertySheetWingsTest::DoModal() { return Run(false); }

HWND CPropertySheetWingsTest::Create() {
    Run(true);
    return m_hWnd;
}

INT_PTR CPropertySheetWingsTest::Run(bool modeless) {
    std::vector<HPROPSHEETPAGE> handles;
    for (CPropertyPage* page : m_pages) handles.push_back(page->CreatePageHandle());

    PROPSHEETHEADERA psh{};
    psh.dwSize = sizeof psh;
    // PSH_HASHELP shows the Help button; it opens the manual (services/help.h).
    psh.dwFlags = PSH_USECALLBACK | PSH_NOAPPLYNOW | PSH_HASHELP | (m_bWizard ? PSH_WIZARD : 0) |
                  (modeless ? PSH_MODELESS : 0);
    psh.hwndParent = m_hParent;
    psh.hInstance = ::GetModuleHandleA(nullptr);
    psh.pszCaption = m_csCaption.c_str();
    psh.nPages = static_cast<UINT>(handles.size());
    psh.nStartPage = static_cast<UINT>(m_nStartPage);
    psh.phpage = handles.data();
    psh.pfnCallback = &CPropertySheetWingsTest::SheetCallback;

    s_pCreating = this;
    INT_PTR result = ::PropertySheetA(&psh);
    s_pCreating = nullptr;
    if (modeless) m_hWnd = reinterpret_cast<HWND>(result);
    else m_hWnd = nullptr;
    return result;
}

int CALLBACK CPropertySheetWingsTest::SheetCallback(HWND hwnd, UINT msg, LPARAM) {
    if (msg == PSCB_INITIALIZED && s_pCreating) {
        CPropertySheetWingsTest* self = s_pCreating;
        self->m_hWnd = hwnd;
        ::SetWindowSubclass(hwnd, &CPropertySheetWingsTest::SubclassProc, kSubclassId,
                            reinterpret_cast<DWORD_PTR>(self));
        self->OnInitDialog();
    }
    return 0;
}

void CPropertySheetWingsTest::OnInitDialog() {
    CenterWindowOver(m_hWnd, nullptr);

    if (HMENU sys = ::GetSystemMenu(m_hWnd, FALSE)) {
        const std::string text = LoadResString(IDS_ABOUTBOX);
        if (!text.empty()) {
            ::AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, text.c_str());
        }
    }
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    g_bBlink = 0;
    m_nTimer = ::SetTimer(m_hWnd, kBlinkTimerId, kBlinkMilliseconds, nullptr);
}

LRESULT CALLBACK CPropertySheetWingsTest::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp,
                                                       UINT_PTR, DWORD_PTR ref) {
    auto* self = reinterpret_cast<CPropertySheetWingsTest*>(ref);
    switch (msg) {
    case WM_SYSCOMMAND:
        if (self->OnSysCommand(wp)) return 0;
        break;
    case WM_TIMER:
        self->OnTimer();
        break;
    case WM_PAINT:
        if (self->OnPaint()) return 0;
        break;
    case WM_HELP:
        // F1 anywhere in the wizard: a child window passes it up to here.
        ShowManualForSheet(hwnd);
        return TRUE;
    case WM_DESTROY: {
        LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
        if (self->m_nTimer) ::KillTimer(hwnd, self->m_nTimer);
        self->m_nTimer = 0;
        return r;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, &CPropertySheetWingsTest::SubclassProc, kSubclassId);
        if (self->m_hWnd == hwnd) self->m_hWnd = nullptr;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

bool CPropertySheetWingsTest::OnSysCommand(WPARAM cmd) {
    if ((cmd & 0xFFF0) != IDM_ABOUTBOX) return false;
    CAboutBox about;
    about.DoModal(m_hWnd);
    return true;
}

void CPropertySheetWingsTest::OnTimer() {
    g_bBlink = g_bBlink ? 0 : 1;
    HWND page = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    if (auto* base = dynamic_cast<CTestPropPageBasis*>(CPropertyPage::FromHwnd(page)))
        base->InvalidateBlinkLamp();
}

bool CPropertySheetWingsTest::OnPaint() {
    if (!::IsIconic(m_hWnd)) return false;
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rc{};
    ::GetClientRect(m_hWnd, &rc);
    const int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &ps);
    return true;
}

#include "app/app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/command_line.h"
#include "app/page_registry.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/settings.h"
#include "services/state.h"
#include "analysis/show_folders.h"
#include "repair/wings_launcher.h"
#include "wizard/property_page.h"
#include "wizard/long_work.h"
#include "wizard/sheet.h"

const char kWizardCaption[] = "Welkom bij de tovenaar";

namespace {
// The pages in the order the wizard shows them.
const char* const kPageClasses[] = {
    "CTestPropPage00", "CTestPropPage01", "CTestPropPage02", "CTestPropPage03",
    "CTestPropPage04", "CTestPropPage05", "CTestPropPage06", "CTestPropPage99",
};

// Windows ends the session while long work runs: the work's files being
// written are already marked for deletion; the run still gets its stop
// entry, and the process ends here rather than return into the work.
void EndSessionDuringWork() {
    LogLine(kLogStopEntry);
    CloseRunLog();
    ::ExitProcess(0);
}
}  // namespace

CWingsTestApp::CWingsTestApp() = default;
// The sheet goes first: its pages must outlive it.
CWingsTestApp::~CWingsTestApp() { DestroyWizard(); }

void CWingsTestApp::BuildWizard() {
    RegisterFeatures();
    m_pSheet = std::make_unique<CPropertySheetWingsTest>(kWizardCaption, nullptr, m_csMissingShow.empty() ? 0 : 1);
    m_pages.clear();
    for (const char* name : kPageClasses) {
        m_pages.push_back(CreatePageByClassName(name));
        m_pSheet->AddPage(m_pages.back().get());
    }
    m_pSheet->SetWizardMode();
}

void CWingsTestApp::DestroyWizard() {
    m_pSheet.reset();
    m_pages.clear();
}

bool CWingsTestApp::InitInstance() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    OpenRunLog();
    LogLine(kLogStartEntry);
    g_pApp = this;
    g_pfnSessionEnd = &EndSessionDuringWork;
    ResetSharedState();
    BuildWizard();
    ReadSettings();
    if (!m_csStartShow.empty()) {
        LogValue("show van de opdrachtregel", m_csStartShow);
        g_csRecentFile = m_csStartShow;
        // The selection page fills its field from the settings.
        WriteSettings();
    }
    if (!m_csMissingShow.empty()) {
        LogValue("show van de opdrachtregel bestaat niet", m_csMissingShow);
        ShowMessage(MissingShowText(m_csMissingShow));
    }

    m_pSheet->DoModal();

    WriteSettings();
    LogLine(kLogStopEntry);
    CloseRunLog();
    DestroyWizard();
    return false;
}

void CWingsTestApp::ClearResultLists() { EmptyResultLists(); }

bool CWingsTestApp::CreateShowSubfolders() { return MakeShowSubfolders(); }

// The wizard, when it exists: owner of the launcher's messages and the
// window kept disabled while Wings runs.
HWND CWingsTestApp::WizardWindow() const {
    if (m_pSheet && m_pSheet->GetSafeHwnd()) return m_pSheet->GetSafeHwnd();
    return ::GetActiveWindow();
}

bool CWingsTestApp::StartWings() { return LaunchWings(WizardWindow()); }

#include "repair/red_page.h"

#include "app/run_log.h"
#include "app/state.h"
#include "resource.h"

CTestPropPage03::CTestPropPage03() : CTestPropPageBasis(IDD_PAGE03, 0) {}

BOOL CTestPropPage03::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage03::OnInitDialog");
    return TRUE;
}

bool CTestPropPage03::OnSetActive() {
    LogValue("CTestPropPage03::OnSetActive", "Rode bestanden");
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    // The list's entries decide, not the counter.
    if (!g_aRedFiles.empty()) {
        EnableItem(IDC_BUTTON_1007, true);
        EnableItem(IDC_BUTTON_1009, false);
        return true;
    }
    LogValue("CTestPropPage03", "Scherm overslaan");
    return false;
}

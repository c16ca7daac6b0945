#include "repair/yellow1_page.h"

#include "app/run_log.h"
#include "app/state.h"
#include "resource.h"

CTestPropPage04::CTestPropPage04() : CTestPropPageBasis(IDD_PAGE04, 0) {}

BOOL CTestPropPage04::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage04::OnInitDialog");
    return TRUE;
}

bool CTestPropPage04::OnSetActive() {
    LogValue("CTestPropPage04::OnSetActive", "Geel 1");
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (g_nYellow1 > 0) {
        EnableItem(IDC_BUTTON_1007, true);
        EnableItem(IDC_BUTTON_1009, false);
        EnableItem(IDC_BUTTON_1008, false);
        return true;
    }
    LogValue("CTestPropPage04", "Scherm overslaan");
    return false;
}

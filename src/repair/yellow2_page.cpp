#include "repair/yellow2_page.h"

#include "app/run_log.h"
#include "app/state.h"
#include "resource.h"

CTestPropPage05::CTestPropPage05() : CTestPropPageBasis(IDD_PAGE05, 0) {}

BOOL CTestPropPage05::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage05::OnInitDialog");
    return TRUE;
}

bool CTestPropPage05::OnSetActive() {
    LogValue("CTestPropPage05::OnSetActive", "Geel 2");
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (g_nYellow2 > 0) {
        EnableItem(IDC_BUTTON_1007, true);
        EnableItem(IDC_BUTTON_1009, false);
        EnableItem(IDC_BUTTON_1008, false);
        return true;
    }
    LogValue("CTestPropPage05", "Scherm overslaan");
    return false;
}

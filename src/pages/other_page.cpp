#include "pages/other_page.h"

#include "app/run_log.h"
#include "app/state.h"
#include "resource.h"

CTestPropPage06::CTestPropPage06() : CTestPropPageBasis(IDD_PAGE06, 0) {}

BOOL CTestPropPage06::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage06::OnInitDialog");
    return TRUE;
}

bool CTestPropPage06::OnSetActive() {
    LogValue("CTestPropPage06::OnSetActive", "Onbekende bestanden");
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (g_nOther > 0) {
        LogLine("Onbekende besanden aangetroffen");
        return true;
    }
    LogValue("CTestPropPage06", "Scherm overslaan");
    return false;
}

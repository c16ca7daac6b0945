#include "analysis/analysis_page.h"

#include "app/run_log.h"
#include "resource.h"

CTestPropPage02::CTestPropPage02() : CTestPropPageBasis(IDD_PAGE02, 0) {}

BOOL CTestPropPage02::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage02::OnInitDialog");
    return TRUE;
}

bool CTestPropPage02::OnSetActive() {
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    LogValue("CTestPropPage02::OnSetActive", "Analyse");
    InvalidatePage();
    return true;
}

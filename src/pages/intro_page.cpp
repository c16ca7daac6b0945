#include "pages/intro_page.h"

#include "app/run_log.h"
#include "resource.h"

CTestPropPage00::CTestPropPage00() : CTestPropPageBasis(IDD_PAGE00, 0) {}

BOOL CTestPropPage00::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage00::OnInitDialog");
    return TRUE;
}

bool CTestPropPage00::OnSetActive() {
    PostWizardButtons(PSWIZB_NEXT);
    LogValue("CTestPropPage00::OnSetActive", "Introductie");
    InvalidatePage();
    return true;
}

#include "pages/closing_page.h"

#include "app/run_log.h"
#include "app/state.h"
#include "resource.h"

CTestPropPage99::CTestPropPage99() : CTestPropPageBasis(IDD_PAGE99, 0) {}

// The closing page logs no initialisation of its own.
BOOL CTestPropPage99::OnInitDialog() { return CTestPropPageBasis::OnInitDialog(); }

bool CTestPropPage99::OnSetActive() {
    LogValue("CTestPropPage99::OnSetActive", "Afsluiting");
    PostWizardButtons(PSWIZB_FINISH);
    return true;
}

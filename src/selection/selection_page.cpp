#include "selection/selection_page.h"

#include "analysis/file_helpers.h"
#include "app/run_log.h"
#include "app/state.h"
#include "resource.h"

CTestPropPage01::CTestPropPage01() : CTestPropPageBasis(IDD_PAGE01, 0) {}

BOOL CTestPropPage01::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage01::OnInitDialog");
    return TRUE;
}

bool CTestPropPage01::OnSetActive() {
    PostWizardButtons(PSWIZB_BACK);
    LogValue("CTestPropPage01::OnSetActive", "Selecteer show");
    // Every arrival here makes the next analysis start afresh.
    g_bAnalysed = 0;
    g_nRed = g_nYellow = g_nGreen = 0;
    InvalidatePage();
    if (FileExists(g_csRecentFile)) PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    return true;
}

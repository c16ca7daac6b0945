#include "pages/other_page.h"

#include "services/contact.h"
#include "services/run_log.h"
#include "services/state.h"
#include "resource.h"

namespace {
// The show's path goes between these two parts. It is joined, never used
// as a format: a path may hold "%".
constexpr char kBeforePath[] =
    "Er zijn (verwijzingen naar) bestanden aangetroffen in de opgegeven show, die door Zekerpad "
    "niet zijn herkend als geluidsbestand of afbeelding/plaatje.\n\n"
    "Ik ga er van uit dat dat een foutieve constatering van Zekerpad is, omdat in Wings shows "
    "(nog) geen andere soorten bestanden gebruikt worden.\n\n"
    "Om het programma te kunnen aanpassen en verbeteren, verzoek ik u om mij een kopie van het "
    "showbestand:\n";
constexpr char kAfterPath[] =
    "\ntoe te zenden, bij voorkeur per e-mail.\n\n"
    "Stuur het bestand dan naar:\n";
// After the contact lines.
constexpr char kThanks[] = "\n\n\nBij voorbaat dank voor uw medewerking.\n";
}  // namespace

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
        // Anew on every visit: the show may have been chosen again.
        SetItemText(IDC_TEXT, kBeforePath + g_csRecentFile + kAfterPath + ContactLines(g_csContact) + kThanks);
        return true;
    }
    LogValue("CTestPropPage06", "Scherm overslaan");
    return false;
}

#include "pages/closing_page.h"

#include "analysis/show_verdict.h"
#include "services/run_log.h"
#include "services/state.h"
#include "backup/backup_dialog.h"
#include "common/text.h"
#include "resource.h"

namespace {
constexpr char kCongratulation[] =
    "Gefeliciteerd!\n"
    "U heeft alle relevante stappen van het programma Wings Zekerpad doorlopen.\n\n"
    "Waar nodig zijn herstelpogingen gedaan, en het resultaat mag er zijn:\n\n"
    "U heeft groen licht en kunt dus met een gerust hart een back-up maken, bijvoorbeeld voor "
    "als u de serie laat zien tijdens een SGG-bijeenkomst.\n\n";

constexpr char kRegret[] =
    "Jammer,\n\n"
    "U heeft alle relevante stappen van het programma Wings Zekerpad doorlopen,maar toch geen "
    "groen licht gekregen.\n\n\n";

// Follows the verdict.
constexpr char kFrame[] =
    "\n\nAls u vragen heeft over dit programma, fouten heeft geconstateerd, of ideeën heeft voor "
    "uitbreidingen of aanpassingen, dan kunt u altijd met mij contact opnemen:\n"
    // No address of a person is known to the program: the manual's section
    // "Vragen en fouten melden" says what to send, and to whom.
    "\tE-mail:\tzie in de handleiding (knop Help)\n"
    "\tPost:\thet deel \"Vragen en fouten melden\":\n"
    "\t\tdaar staat wat u meestuurt\n"
    "\t\ten aan wie u het stuurt\n"
    "\tFax:\t(geen faxnummer)\n"
    "\n\nIk dank u voor het gebruik van dit programma.\n\n"
    "Het Zekerpad-team\n";

// Green light needs a completed analysis of the show now chosen: after a
// scan that stopped early, or none at all, the counters are 0 too. A show
// without a single file name, or with files on the network, gets none
// either: a copy of its folder would not hold the show.
bool IsCurrent() { return g_bAnalysed && EqualsNoCaseAscii(g_csAnalysedFile, g_csRecentFile); }

Verdict CurrentVerdict() {
    return VerdictOfCounts(g_nRed, g_nYellow, g_nGreen, g_aNetworkPaths.size(), DamagedFileCount());
}

bool HasGreenLight() { return IsCurrent() && CurrentVerdict() == Verdict::Green; }

// Why there is no green light when nothing is red or yellow.
std::string Reason() {
    if (!IsCurrent()) return std::string();
    switch (CurrentVerdict()) {
    case Verdict::NoNames:
        return "In deze show is geen enkele bestandsnaam gevonden. Is dit wel een Wings-show?\n";
    case Verdict::Network:
        return "De show speelt bestanden van het netwerk af; een back-up van de map van de show neemt die niet "
               "mee. Zet die bestanden in de map van de show en laat Wings ze daar opnieuw zoeken.\n";
    case Verdict::Damaged:
        return "Bij het nakijken van de bestanden zijn beschadigde bestanden gevonden; de show speelt ze niet "
               "goed af. Zet van elk een goede kopie terug en kijk de bestanden op de pagina Analyse en resultaten "
               "opnieuw na.\n";
    default:
        return std::string();
    }
}
}  // namespace

CTestPropPage99::CTestPropPage99() : CTestPropPageBasis(IDD_PAGE99, 0) {}

// The closing page logs no initialisation of its own.
BOOL CTestPropPage99::OnInitDialog() { return CTestPropPageBasis::OnInitDialog(); }

bool CTestPropPage99::OnSetActive() {
    LogValue("CTestPropPage99::OnSetActive", "Afsluiting");
    PostWizardButtons(PSWIZB_FINISH);
    const bool green = HasGreenLight();
    SetItemText(IDC_TEXT, green ? kCongratulation + std::string(kFrame) : kRegret + Reason() + kFrame);
    // The back-up the congratulation speaks of, right here; only a show
    // with green light is worth one.
    ShowItem(IDC_BACKUP, green);
    return true;
}

bool CTestPropPage99::OnCommand(int id, int code, HWND ctl) {
    if (id != IDC_BACKUP || code != BN_CLICKED) return CTestPropPageBasis::OnCommand(id, code, ctl);
    if (!HasGreenLight()) return true;
    CDialogBackup dialog(g_szShowDrive + g_szShowDir);
    dialog.DoModal(::GetParent(m_hWnd));
    return true;
}

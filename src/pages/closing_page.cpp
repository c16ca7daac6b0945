#include "pages/closing_page.h"

#include "analysis/show_scan.h"
#include "analysis/show_verdict.h"
#include "files/file_helpers.h"
#include "files/file_reference.h"
#include "services/contact.h"
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

// Follows the verdict; the contact lines go between its two parts.
constexpr char kFrameBefore[] =
    "\n\nAls u vragen heeft over dit programma, fouten heeft geconstateerd, of ideeën heeft voor "
    "uitbreidingen of aanpassingen, dan kunt u altijd met mij contact opnemen:\n";
constexpr char kFrameAfter[] =
    "\n\nIk dank u voor het gebruik van dit programma.\n\n"
    "Het Zekerpad-team\n";

std::string Frame() { return kFrameBefore + ContactLines(g_csContact) + kFrameAfter; }

// Green light needs a completed analysis of the show now chosen: after a
// scan that stopped early, or none at all, the counters are 0 too. A show
// without a single file name, or with files on the network, gets none
// either: a copy of its folder would not hold the show.
bool IsCurrent() { return g_bAnalysed && EqualsNoCaseAscii(g_csAnalysedFile, g_csRecentFile); }

Verdict CurrentVerdict() { return WizardVerdict(); }

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
// With red or yellow files left: how many, the first of them, and the way
// to the repairs, since this page has no way back. Short: the frame below
// must still fit the page.
std::string Remaining() {
    if (!IsCurrent() || (g_nRed <= 0 && g_nYellow <= 0)) return std::string();
    std::string text = "Nog over: ";
    if (g_nRed > 0)
        text += FormatThousands(g_nRed) + (g_nRed == 1 ? " rood bestand (ontbreekt)" : " rode bestanden (ontbreken)");
    if (g_nRed > 0 && g_nYellow > 0) text += " en ";
    if (g_nYellow > 0)
        text += FormatThousands(g_nYellow) + (g_nYellow == 1 ? " geel" : " gele") +
                (g_nRed > 0 ? "" : (g_nYellow == 1 ? " bestand" : " bestanden")) + " (buiten de map van de show)";
    const auto first = [](const CFileReferenceList& list) -> const CFileReference* {
        for (const auto& record : list)
            if (record) return record.get();
        return nullptr;
    };
    const CFileReference* shown = first(g_aRedFiles) ? first(g_aRedFiles) : first(g_aYellowFiles);
    if (shown) text += ", zoals:\n\t" + shown->m_csPath;
    return text + "\nStart Zekerpad opnieuw met deze show en volg de pagina's voor rood en geel; het rapport (knop "
                  "Rapport opslaan) noemt elk bestand.\n";
}
}  // namespace

CTestPropPage99::CTestPropPage99() : CTestPropPageBasis(IDD_PAGE99, 0) {}

// The closing page logs no initialisation of its own.
BOOL CTestPropPage99::OnInitDialog() { return CTestPropPageBasis::OnInitDialog(); }

bool CTestPropPage99::OnSetActive() {
    LogValue("CTestPropPage99::OnSetActive", "Afsluiting");
    PostWizardButtons(PSWIZB_FINISH);
    const bool green = HasGreenLight();
    SetItemText(IDC_TEXT, green ? kCongratulation + Frame() : kRegret + Remaining() + Reason() + Frame());
    // The back-up the congratulation speaks of, right here; only a show
    // with green light is worth one.
    ShowItem(IDC_BACKUP, green);
    return true;
}

bool CTestPropPage99::OnCommand(int id, int code, HWND ctl) {
    if (id != IDC_BACKUP || code != BN_CLICKED) return CTestPropPageBasis::OnCommand(id, code, ctl);
    if (!HasGreenLight()) return true;
    CDialogBackup dialog(g_szShowDrive + g_szShowDir, g_csRecentFile.empty() ? std::string() : FullPathName(g_csRecentFile));
    dialog.DoModal(::GetParent(m_hWnd));
    return true;
}

#include "repair/yellow1_page.h"

#include "app/app.h"
#include "app/run_log.h"
#include "app/state.h"
#include "common/win_raii.h"
#include "repair/yellow_repair.h"
#include "resource.h"

namespace {
const YellowPageTexts kTexts{"CTestPropPage04", "Geel 1", "Start Wings vanuit GEEL 1",
                             "Einde corrigeren GEEL 1 ", true};

const char kHelpText[] =
    "Alle bestanden met een GELE stip zijn aanwezig. En bovendien op de plaats waar deze door Wings "
    "verwacht worden.\n\nToch is er een risico: \nDeze bestanden staan niet op een logische plaats ten "
    "opzicht van de show. Dat houdt in dat de kans groot is, dat deze bestanden, bij het maken van een "
    "back-up van de show, vergeten worden.\n\nDe bestanden met een gele stip zijn te verdelen in twee "
    "aandachtsgebieden:\n1  bestanden die op dezelfde schijf staan als de show, en\n2  bestanden die op een "
    "andere schijf staan dan de show.\n\nDeze pagina behandelt de bestanden uit de eeste categorie.\n\nDit "
    "probleem is in principe door het programma Zekerpad te verhelpen. Als u dat wilt, moet u hieronder op "
    "de knop '&Corrigeren' klikken.\n\nDan probeert Zekerpad die bestanden te verplaatsen naar een plaats "
    "die logisch is, ten opzichte van de show. Voor geluidsbestanden is dat bijvoorbeeld de map 'Audio' in "
    "de map waar ook de show staat.\n\n";
}  // namespace

CTestPropPage04::CTestPropPage04() : CYellowPageBasis(IDD_PAGE04, kTexts) {}

BOOL CTestPropPage04::OnInitDialog() {
    CYellowPageBasis::OnInitDialog();
    LogLine("CTestPropPage04::OnInitDialog");
    SetItemText(IDC_TEXT, kHelpText);
    return TRUE;
}

int32_t CTestPropPage04::FileCount() const { return g_nYellow1; }

void CTestPropPage04::OnCorrigeren() {
    LogLine("Start corrigeren GEEL 1 ");
    EnableItem(IDC_BUTTON_1007, false);
    StartProgress(g_nYellow1);
    LogLine("Corrigeren Geel 1");
    if (g_nYellow1 < 1) {
        LogValue("Fout", "Geen bestanden GEEL 1 aanwezig");
        EndRun();
        return;
    }

    RepairOutcome outcome;
    {
        ScopedWaitCursor wait;
        // It has told the user which folder could not be made.
        if (!g_pApp->CreateShowSubfolders()) return;
        const TargetFolders folders = BuildTargetFolders(g_szShowDrive, g_szShowDir, g_csSubmapAudio,
                                                         g_csSubmapPlaatjes, g_csSubmapOverige);
        outcome = MoveYellow1Files(g_aYellowFiles, g_szShowDrive, folders, [this] { StepProgress(); }, m_hWnd);
        // A show among the records: what was moved stays moved.
        if (!outcome.completed) return;
    }
    LogLine("Klaar met verplaatsen");
    SetItemText(IDC_TEXT, Yellow1ResultText(outcome.failedFiles, ShowDriveText(g_szShowDrive, g_szShowDir)));
    EndRun();
}

#include "repair/yellow1_page.h"

#include "services/app_operations.h"
#include "services/run_log.h"
#include "services/state.h"
#include "repair/yellow_repair.h"
#include "resource.h"
#include "wizard/long_work.h"

namespace {
const YellowPageTexts kTexts{"CTestPropPage04", "Geel 1", "Start Wings vanuit GEEL 1",
                             "Einde corrigeren GEEL 1 ", true};

// What this page does about its category.
const char kRemedy[] =
    "Dit probleem is in principe door het programma Zekerpad te verhelpen. Als u dat wilt, moet u hieronder op "
    "de knop '&Corrigeren' klikken.";
}  // namespace

CTestPropPage04::CTestPropPage04() : CYellowPageBasis(IDD_PAGE04, kTexts) {}

BOOL CTestPropPage04::OnInitDialog() {
    CYellowPageBasis::OnInitDialog();
    LogLine("CTestPropPage04::OnInitDialog");
    SetItemText(IDC_TEXT, HelpText("eeste", kRemedy));
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
        // The wizard's buttons wait until the run is done; the window
        // keeps painting and answering meanwhile.
        CLongWork work(m_hWnd);
        // It has told the user which folder could not be made.
        if (!g_pApp->CreateShowSubfolders()) return;
        const TargetFolders folders = BuildTargetFolders(g_szShowDrive, g_szShowDir, g_csSubmapAudio,
                                                         g_csSubmapPlaatjes, g_csSubmapOverige);
        outcome = MoveYellow1Files(
            g_aYellowFiles, g_szShowDrive, folders,
            [&](const CFileReference&) {
                StepProgress();
                work.Pump();
            },
            m_hWnd);
    }
    // A show among the records: what was moved stays moved.
    if (!outcome.completed) return;
    LogLine("Klaar met verplaatsen");
    SetItemText(IDC_TEXT, Yellow1ResultText(outcome.failedFiles, ShowDriveText(g_szShowDrive, g_szShowDir)));
    EndRun();
}

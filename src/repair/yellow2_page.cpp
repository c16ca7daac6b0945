#include "repair/yellow2_page.h"

#include <algorithm>

#include "files/file_reference.h"
#include "services/app_operations.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "repair/repair_plan.h"
#include "repair/yellow_repair.h"
#include "resource.h"
#include "wizard/long_work.h"

namespace {
const YellowPageTexts kTexts{"CTestPropPage05", "Geel 2", nullptr, "Einde corrigeren GEEL 2", false};

// What this page does about its category.
const char kRemedy[] =
    "Dit probleem is in principe door het programma Zekerpad te verhelpen MITS er voldoende ruimte vrij is op "
    "de schijfeenheid waarop de show staat. Als u dit probleem wilt verhelpen, dan moet u hieronder op de knop "
    "'&Corrigeren' klikken.";

const char kQuestion[] =
    "De 'riskante' bestanden, die op een andere schijf staan dan \nwaarop de show staat, worden gekopieerd "
    "naar de schijf waarop de \nshow staat.\n\nMoeten deze bestanden daarna op hun oorspronkelijke "
    "plaats\n VERWIJDERD worden (dus VERPLAATSEN i.p.v. kopiëren)?";
}  // namespace

CTestPropPage05::CTestPropPage05() : CYellowPageBasis(IDD_PAGE05, kTexts) {}

BOOL CTestPropPage05::OnInitDialog() {
    CYellowPageBasis::OnInitDialog();
    LogLine("CTestPropPage05::OnInitDialog");
    SetItemText(IDC_TEXT, HelpText("tweede", kRemedy));
    return TRUE;
}

int32_t CTestPropPage05::FileCount() const { return g_nYellow2; }

void CTestPropPage05::OnCorrigeren() {
    EnableItem(IDC_BUTTON_1007, false);
    LogLine("Start corrigeren GEEL 2");
    // Each file is a step, and each byte it copies one more.
    StartProgress(NeededBytesForYellow2(g_aYellowFiles, g_szShowDrive) + g_nYellow2);
    LogLine("Corrigeren Geel 2");
    ::UpdateWindow(m_hWnd);
    if (g_nYellow2 < 1) {
        LogValue("Fout", "Geen bestanden GEEL 2 aanwezig");
        EndRun();
        return;
    }
    // It has told the user which folder could not be made.
    if (!g_pApp->CreateShowSubfolders()) return;

    // Room and the user's choice are settled before anything is copied.
    if (!CheckRoomForYellow2(g_aYellowFiles, g_szShowDrive, g_szShowDir, m_hWnd)) {
        EndRun();
        return;
    }
    SourceAfterCopy mode = SourceAfterCopy::KeepAsBak;
    // No (keep as ".bak") is the default: Enter never removes a file that
    // another show may play. Where a Yes deletes for good, the box says so.
    const std::string question =
        kQuestion + Yellow2QuestionNote(Yellow2PlacesWithoutRecycleBin(g_aYellowFiles, g_szShowDrive));
    if (AskMessage(m_hWnd, question, "Zekerpad", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
        mode = SourceAfterCopy::Delete;
        LogLine("Verplaatsen");
        LogWhereOriginalsGo(g_aYellowFiles, g_szShowDrive);
    } else {
        ShowMessage("De namen van de oorspronkelijke bestanden zullen worden voorzien van een extra "
                    "achtervoegsel: '.bak'",
                    m_hWnd);
        LogLine("Kopiëren");
    }
    if (!g_pApp->CreateShowSubfolders()) return;

    RepairOutcome outcome;
    {
        const TargetFolders folders = BuildTargetFolders(g_szShowDrive, g_szShowDir, g_csSubmapAudio,
                                                         g_csSubmapPlaatjes, g_csSubmapOverige);
        // The wizard's buttons wait until the run is done; the window
        // keeps painting and answering meanwhile. A log-off ends the
        // program in the middle of a copy without a partial file; nothing
        // else stops it.
        CLongWork work(m_hWnd);
        int64_t filesBefore = 0;  // units of the files handled before this one
        int64_t current = 0;      // units of this file: its bytes and one
        const auto step = [&](const CFileReference& rec) {
            filesBefore += current;
            current = (rec.m_nSize > 0 ? rec.m_nSize : 0) + 1;
            SetProgress(filesBefore);
            work.Pump();
        };
        const auto copied = [&](int64_t bytes) {
            SetProgress(filesBefore + std::min(bytes, current - 1));
            work.Pump();
            return true;
        };
        outcome = CopyYellow2Files(g_aYellowFiles, g_szShowDrive, folders, mode, step, m_hWnd, copied);
    }
    // A show among the records: what was done to earlier ones stays.
    if (!outcome.completed) return;
    LogLine("alle bestanden gekopieerd/verplaatst");
    SetItemText(IDC_TEXT, Yellow2ResultText(outcome.failedFiles, ShowDriveText(g_szShowDrive, g_szShowDir),
                                            Yellow2OriginalsNote(outcome.recycledPlaces, outcome.purgedPlaces)));
    EndRun();
}

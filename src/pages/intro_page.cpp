#include "pages/intro_page.h"

#include "backup/backup_dialog.h"
#include "common/wide_text.h"
#include "files/file_helpers.h"
#include "services/run_log.h"
#include "services/state.h"
#include "pages/settings_dialog.h"
#include "resource.h"
#include "wizard/folder_picker.h"

namespace {
constexpr char kWelcome[] =
    "Welkom bij Wings Zekerpad\n\n"
    "Met dit programma kunt u vaststellen hoe 'back-up-veilig' uw Wings-shows zijn.\n\n"
    "In het volgende scherm van dit programma kunt u aangeven welke Wings-show u wilt "
    "analyseren, en het onderzoek daarvan starten.\n\n"
    "In de schermen daarna worden oplossingen voor mogelijke problemen aangereikt.\n\n\n\n"
    "Ik wens u veel gemak van dit programma, en hoop dat u altijd 'groen licht' krijgt.\n\n"
    "Het Zekerpad-team\n";

std::string PickCheckTarget(HWND owner) {
    // The stick this PC last wrote a back-up to is where a check looks first.
    const std::wstring start =
        !g_csBackupMap.empty() && FolderExists(g_csBackupMap) ? WideFromCodePage(g_csBackupMap) : std::wstring();
    return Utf8FromWide(
        PickFolder(owner, L"Kies de map van de back-up, de map met uw back-ups, of het showbestand (.ws4) dat u wilt "
                          L"controleren:",
                   true, start));
}
}  // namespace

CheckTargetPicker g_pfnPickCheckTarget = &PickCheckTarget;

CTestPropPage00::CTestPropPage00() : CTestPropPageBasis(IDD_PAGE00, 0) {}

BOOL CTestPropPage00::OnInitDialog() {
    CTestPropPageBasis::OnInitDialog();
    LogLine("CTestPropPage00::OnInitDialog");
    SetItemText(IDC_INTRO_TEXT, kWelcome);
    return TRUE;
}

bool CTestPropPage00::OnSetActive() {
    PostWizardButtons(PSWIZB_NEXT);
    LogValue("CTestPropPage00::OnSetActive", "Introductie");
    InvalidatePage();
    return true;
}

bool CTestPropPage00::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_INTRO_CHECK) {
        OnCheckBackupOrShow();
        return true;
    }
    if (id != IDC_BUTTON_1007) return false;
    OnGeavanceerdeInstellingen();
    return true;
}

void CTestPropPage00::OnCheckBackupOrShow() {
    const HWND sheet = ::GetParent(m_hWnd);
    const std::string chosen = g_pfnPickCheckTarget(sheet);
    if (chosen.empty()) return;
    LogValue("Controleren", CodePageFromUtf8(chosen));
    CDialogBackup dialog(CheckChosen{chosen});
    dialog.DoModal(sheet);
}

void CTestPropPage00::OnGeavanceerdeInstellingen() {
    CDialogSettings dlg;
    dlg.m_csSubmapAudio = g_csSubmapAudio;
    dlg.m_csSubmapPlaatjes = g_csSubmapPlaatjes;
    dlg.m_csSubmapOverige = g_csSubmapOverige;
    if (dlg.DoModal(m_hWnd) != IDOK) return;
    g_csSubmapAudio = dlg.m_csSubmapAudio;
    g_csSubmapPlaatjes = dlg.m_csSubmapPlaatjes;
    g_csSubmapOverige = dlg.m_csSubmapOverige;
}

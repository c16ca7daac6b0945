#include "repair/repair_page_base.h"

#include <string>

#include "app/app.h"
#include "app/run_log.h"
#include "app/state.h"
#include "resource.h"

namespace {
constexpr int kAnalysisPage = 2;
}

void CRepairPageBasis::OnOpnieuwAnalyseren() {
    g_bAnalysed = 0;
    SetActivePage(kAnalysisPage);
}

bool CYellowPageBasis::OnSetActive() {
    LogValue(std::string(m_texts.className) + "::OnSetActive", m_texts.title);
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    if (FileCount() > 0) {
        EnableItem(IDC_BUTTON_1007, true);
        EnableItem(IDC_BUTTON_1009, false);
        EnableItem(IDC_BUTTON_1008, false);
        return true;
    }
    LogValue(m_texts.className, "Scherm overslaan");
    return false;
}

bool CYellowPageBasis::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_BUTTON_1007:
        OnCorrigeren();
        return true;
    case IDC_BUTTON_1009:
        OnStartWings();
        return true;
    case IDC_BUTTON_1008:
        OnOpnieuwAnalyseren();
        return true;
    default:
        return false;
    }
}

void CYellowPageBasis::OnDrawOverStatus(HDC dc) { DrawDarkHalfOfYellowLamp(dc, m_texts.darkRightHalf); }

void CYellowPageBasis::OnStartWings() {
    if (m_texts.startWingsLog) LogLine(m_texts.startWingsLog);
    EnableItem(IDC_BUTTON_1009, false);
    g_pApp->StartWings();
    EnableItem(IDC_BUTTON_1009, false);
    EnableItem(IDC_BUTTON_1008, true);
}

void CYellowPageBasis::StartProgress(int32_t files) {
    HWND bar = GetItem(IDC_PROGRESS);
    ShowItem(IDC_PROGRESS, true);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, files);
    ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
    // A second run (after a new analysis) starts from the left again.
    ::SendMessageA(bar, PBM_SETPOS, 0, 0);
}

void CYellowPageBasis::StepProgress() {
    HWND bar = GetItem(IDC_PROGRESS);
    ::SendMessageA(bar, PBM_STEPIT, 0, 0);
    // No messages are handled during a run: paint now.
    ::UpdateWindow(bar);
    ::UpdateWindow(m_hWnd);
}

void CYellowPageBasis::EndRun() {
    ShowItem(IDC_PROGRESS, false);
    EnableItem(IDC_BUTTON_1007, false);
    EnableItem(IDC_BUTTON_1009, true);
    EnableItem(IDC_BUTTON_1008, false);
    LogLine(m_texts.endLine);
}

std::string CYellowPageBasis::HelpText(const char* category, const char* remedy) {
    return std::string(
               "Alle bestanden met een GELE stip zijn aanwezig. En bovendien op de plaats waar deze door Wings "
               "verwacht worden.\n\nToch is er een risico: \nDeze bestanden staan niet op een logische plaats "
               "ten opzicht van de show. Dat houdt in dat de kans groot is, dat deze bestanden, bij het maken van "
               "een back-up van de show, vergeten worden.\n\nDe bestanden met een gele stip zijn te verdelen in "
               "twee aandachtsgebieden:\n1  bestanden die op dezelfde schijf staan als de show, en\n2  bestanden "
               "die op een andere schijf staan dan de show.\n\nDeze pagina behandelt de bestanden uit de ") +
           category + " categorie.\n\n" + remedy +
           "\n\nDan probeert Zekerpad die bestanden te verplaatsen naar een plaats die logisch is, ten opzichte "
           "van de show. Voor geluidsbestanden is dat bijvoorbeeld de map 'Audio' in de map waar ook de show "
           "staat.\n\n";
}

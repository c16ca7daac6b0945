#include "repair/repair_page_base.h"

#include <string>

#include "services/app_operations.h"
#include "services/run_log.h"
#include "services/state.h"
#include "repair/repair_plan.h"
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
    const bool ran = g_pApp->StartWings();
    EnableItem(IDC_BUTTON_1009, false);
    // As on the red page: a fresh analysis only when Wings could have
    // changed the show.
    EnableItem(IDC_BUTTON_1008, ran);
}

void CYellowPageBasis::StartProgress(int64_t total) {
    HWND bar = GetItem(IDC_PROGRESS);
    ShowItem(IDC_PROGRESS, true);
    m_nProgressShift = ProgressShift(total);
    ::SendMessageA(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total >> m_nProgressShift));
    ::SendMessageA(bar, PBM_SETSTEP, 1, 0);
    // A second run (after a new analysis) starts from the left again.
    m_nProgressDone = 0;
    ::SendMessageA(bar, PBM_SETPOS, 0, 0);
}

void CYellowPageBasis::SetProgress(int64_t done) {
    m_nProgressDone = done;
    ::SendMessageA(GetItem(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(done >> m_nProgressShift), 0);
}

void CYellowPageBasis::StepProgress() {
    SetProgress(m_nProgressDone + 1);
    // Paint now: a run of quick renames may end before messages are handled.
    ::UpdateWindow(GetItem(IDC_PROGRESS));
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

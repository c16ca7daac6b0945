#include "repair/red_page.h"

#include <algorithm>

#include "services/app_operations.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/res_string.h"
#include "common/win_raii.h"
#include "repair/find_missing_dialog.h"
#include "repair/repair_plan.h"
#include "resource.h"

namespace {
const char kHelpText[] =
    "Toelichting bij de bestanden met een RODE stip\n\nDit zijn bestanden die in de Wings-show gebruikt "
    "worden, maar niet staan op de plaats waar Wings die bestanden verwacht.\n\nDit probleem kan door "
    "Zekerpad niet zelf worden opgelost.\n\nU moet deze show in Wings openen. Dan zal Wings melden dat niet "
    "alle bestanden (afbeeldingen en/of geluidsbestanden) ingelezen konden worden.\nU moet Wings dan laten "
    "zoeken op ALLE schijven die in uw computer aanwezig zijn.\n\nControleer daarna in de Picture Pool en in "
    "de Audio Pool of Wings inderdaad alle bestanden gevonden heeft.\n\nBewaar dan de show opnieuw (via "
    "Bestand - Opslaan) en laat de show daarna opnieuw analyseren.\n\nMet de knop hieronder kunt u Wings "
    "starten, waarbij gelijk de show geopend wordt.\n\nLET OP: zolang Wings actief is, kunt u in dit "
    "programma NIET verdergaan.\n\nNa het sluiten van Wings kunt u met de knop '&Opnieuw analyseren' de "
    "analyse opnieuw laten uitvoeren.\n";
}  // namespace

CTestPropPage03::CTestPropPage03() : CRepairPageBasis(IDD_PAGE03, 0) {}

BOOL CTestPropPage03::OnInitDialog() {
    CRepairPageBasis::OnInitDialog();
    LogLine("CTestPropPage03::OnInitDialog");
    SetItemText(IDC_TEXT, kHelpText);
    return TRUE;
}

bool CTestPropPage03::OnSetActive() {
    LogValue("CTestPropPage03::OnSetActive", "Rode bestanden");
    PostWizardButtons(PSWIZB_BACK | PSWIZB_NEXT);
    // The list's entries decide, not the counter.
    if (!g_aRedFiles.empty()) {
        EnableItem(IDC_BUTTON_1007, true);
        EnableItem(IDC_BUTTON_1009, false);
        EnableItem(IDC_FIND_MISSING, true);
        // What to do after copies belongs to the analysis that led here.
        ShowItem(IDC_RED_NEXT, false);
        return true;
    }
    LogValue("CTestPropPage03", "Scherm overslaan");
    return false;
}

bool CTestPropPage03::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDC_BUTTON_1007) {
        OnStartWings();
        return true;
    }
    if (id == IDC_BUTTON_1009) {
        OnOpnieuwAnalyseren();
        return true;
    }
    if (id == IDC_FIND_MISSING) {
        OnFindMissing();
        return true;
    }
    return false;
}

void CTestPropPage03::OnStartWings() {
    LogLine("Start Wings vanuit ROOD");
    EnableItem(IDC_BUTTON_1007, false);
    const bool found = g_pApp->StartWings();
    EnableItem(IDC_BUTTON_1007, false);
    // A fresh analysis is offered only when Wings could have changed the show.
    EnableItem(IDC_BUTTON_1009, found);
    LogLine("Einde Wings");
}

void CTestPropPage03::OnFindMissing() {
    const MissingCopyCounts counts = FindMissingFiles(::GetAncestor(m_hWnd, GA_ROOT));
    if (counts.copied + counts.inPlace == 0) return;
    // The files are in the show's folder now; Wings must still be told.
    std::string drive = ShowDriveText(g_szShowDrive, g_szShowDir);
    if (drive.size() == 1) drive += ':';
    const std::string format = LoadResString(IDS_FM_RED_NEXT);
    std::string text;
    const size_t at = format.find("%s");
    text = at == std::string::npos ? format : format.substr(0, at) + drive + format.substr(at + 2);
    SetItemText(IDC_RED_NEXT, text);
    PlaceNextLine();
    ShowItem(IDC_RED_NEXT, true);
    EnableItem(IDC_BUTTON_1007, true);
}

// The help text leaves little room above the buttons, and how much depends
// on the font and the screen: the line goes right below the text as drawn,
// or, when the two would not fit, just above the buttons with a gap, over
// the help text's last lines (which the line repeats).
void CTestPropPage03::PlaceNextLine() {
    HWND help = GetItem(IDC_TEXT), next = GetItem(IDC_RED_NEXT), button = GetItem(IDC_BUTTON_1007);
    RECT rcHelp{}, rcButton{};
    ::GetWindowRect(help, &rcHelp);
    ::GetWindowRect(button, &rcButton);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcHelp), 2);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rcButton), 2);
    const int width = rcHelp.right - rcHelp.left;
    RECT calcHelp{0, 0, width, 0}, calcNext{0, 0, width, 0};
    TEXTMETRICA metrics{};
    {
        ScopedWindowDc dc(help);
        ScopedSelect font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(help, WM_GETFONT, 0, 0)));
        ::DrawTextA(dc.get(), kHelpText, -1, &calcHelp, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        const std::string line = GetItemText(IDC_RED_NEXT);
        ::DrawTextA(dc.get(), line.c_str(), -1, &calcNext, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::GetTextMetricsA(dc.get(), &metrics);
    }
    RECT gap{0, 0, 0, 4};  // dialog units, so it grows with the screen's DPI
    ::MapDialogRect(m_hWnd, &gap);
    const int bottom = rcButton.top - gap.bottom;
    const int textBottom = std::min<LONG>(rcHelp.top + calcHelp.bottom, rcHelp.bottom);
    const int top = std::max<int>(rcHelp.top, std::min<int>(textBottom + 2, bottom - calcNext.bottom));
    // The help text's control ends where the line begins, so the two never
    // overlap; when it must give way, it does so by whole lines.
    int helpHeight = textBottom - rcHelp.top;
    if (textBottom > top - 2 && metrics.tmHeight > 0)
        helpHeight = std::max<int>(top - 2 - rcHelp.top, 0) / metrics.tmHeight * metrics.tmHeight;
    ::SetWindowPos(help, nullptr, 0, 0, width, helpHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(next, nullptr, rcHelp.left, top, width, std::max<int>(bottom - top, 0),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

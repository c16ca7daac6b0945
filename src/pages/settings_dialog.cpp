#include "pages/settings_dialog.h"

#include "files/path_split.h"
#include "services/msgbox.h"
#include "resource.h"

namespace {
constexpr char kExplanation[] =
    "Hieronder kunt u aangeven welke submappen Zekerpad moet gebruiken voor het opslaan van "
    "verschillende soorten bestanden.\n"
    "De namen van deze submappen zijn altijd ten opzichte van de map waarin de show staat!\n"
    "Breng hierin geen wijziingen aan als u niet weet wat de gevolgen daarvan kunnen zijn.";

// A name typed as "Audio\" means the folder Audio; only one backslash goes,
// so "Audio\\" keeps one.
void DropOneTrailingBackslash(std::string& name) {
    if (!name.empty() && name.back() == '\\') name.pop_back();
}
}  // namespace

CDialogSettings::CDialogSettings() : CModalDialog(IDD_SETTINGS) {}

void CDialogSettings::DoDataExchange(bool bSaveAndValidate) {
    struct Field {
        int id;
        std::string* text;
    };
    const Field fields[] = {
        {IDC_SUB_AUDIO, &m_csSubmapAudio},
        {IDC_SUB_PLAATJES, &m_csSubmapPlaatjes},
        {IDC_SUB_OVERIGE, &m_csSubmapOverige},
    };
    for (const Field& f : fields) {
        if (bSaveAndValidate)
            *f.text = GetItemText(f.id);
        else
            SetItemText(f.id, *f.text);
    }
}

BOOL CDialogSettings::OnInitDialog() {
    // A deeply nested subfolder may need more than an edit field's default
    // limit; 0 lifts it.
    for (int id : {IDC_SUB_AUDIO, IDC_SUB_PLAATJES, IDC_SUB_OVERIGE})
        ::SendMessageA(GetItem(id), EM_SETLIMITTEXT, 0, 0);
    DoDataExchange(false);
    CenterWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    SetItemText(IDC_TEXT, kExplanation);
    return TRUE;
}

void CDialogSettings::OnOK() {
    DoDataExchange(true);
    for (std::string* name : {&m_csSubmapAudio, &m_csSubmapPlaatjes, &m_csSubmapOverige})
        DropOneTrailingBackslash(*name);
    if (m_csSubmapAudio.empty() || m_csSubmapPlaatjes.empty() || m_csSubmapOverige.empty()) {
        // The fields keep what was typed, so the user corrects only the
        // empty one; a cancel after this leaves the caller's names alone.
        ShowMessage("U moet voor alle 3 situaties een mapnaam opgeven", m_hWnd);
        return;
    }
    // A name that leads out of the show's folder ("..\..\windows") would
    // have the repairs move files there and report success.
    const struct {
        int id;
        const std::string* name;
        const char* kind;
    } fields[] = {
        {IDC_SUB_AUDIO, &m_csSubmapAudio, "geluidsbestanden"},
        {IDC_SUB_PLAATJES, &m_csSubmapPlaatjes, "afbeeldingen"},
        {IDC_SUB_OVERIGE, &m_csSubmapOverige, "overige bestanden"},
    };
    for (const auto& f : fields) {
        const std::string why = SubfolderNameProblem(*f.name);
        if (why.empty()) continue;
        ShowMessage(std::string("De naam van de submap voor ") + f.kind + " kan niet worden gebruikt: " + why +
                        ".\n\nGeef de naam van een map in de map van de show, zoals \"Audio\", of van een map "
                        "daaronder, zoals \"Media\\Audio\".",
                    m_hWnd);
        ::SetFocus(GetItem(f.id));
        return;
    }
    End(IDOK);
}

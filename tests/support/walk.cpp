#include "support/walk.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <shlobj.h>

#include <cstdio>
#include <memory>

#include "resource.h"
#include "support/driver.h"

namespace {

constexpr int kAnalysis = 2, kRed = 3, kYellow1 = 4, kYellow2 = 5, kOther = 6, kClosing = 7;

class Walker {
public:
    Walker(const WalkOptions& options, WalkResult& result)
        : m_options(options), m_result(result), m_process(std::make_unique<ZekerpadProcess>(options.exePath)) {}

    bool Run() {
        if (!m_process->Started()) return Fail("Zekerpad.exe kon niet gestart worden");
        m_sheet = m_process->WaitForWizard();
        if (!m_sheet) return Fail("de wizard verscheen niet");
        Shot("introductie");
        if (!Next(1, "selectie")) return false;
        if (!Next(kAnalysis, "analyse")) return false;
        if (!SaveReport()) return false;
        if (!CheckContents()) return false;

        // Do the work of every page once, then analyse again after it; a
        // page that still has work after that is passed with Next.
        bool done[8] = {};
        for (int guard = 0; guard < 16; ++guard) {
            if (!PressNext()) return false;
            ::Sleep(300);  // let the new page paint before its picture is taken
            const int index = CurrentIndexOf(m_sheet);
            if (index >= kRed && index <= kYellow2 && done[index]) {
                Shot("nogmaals");
                continue;
            }
            if (index >= 0 && index < 8) done[index] = true;
            if (index == kRed) {
                Shot("rood");
                if (!FindMissing()) return false;
                if (!StartWingsAndReanalyse(IDC_BUTTON_1007, IDC_BUTTON_1009, "rood")) return false;
            } else if (index == kYellow1 || index == kYellow2) {
                const char* name = index == kYellow1 ? "geel1" : "geel2";
                Shot(name);
                if (!Repair(name)) return false;
                if (!StartWingsAndReanalyse(IDC_BUTTON_1009, IDC_BUTTON_1008, name)) return false;
            } else if (index == kOther) {
                Shot("overige");
                if (!Next(kClosing, "klaar")) return false;
                return Backup() && Finish() && VenueCheck();
            } else if (index == kClosing) {
                Shot("klaar");
                return Backup() && Finish() && VenueCheck();
            } else {
                return Fail("onverwachte pagina " + std::to_string(index));
            }
        }
        return Fail("de wandeling eindigde niet");
    }

private:
    bool Fail(const std::string& why) {
        m_result.failure = why;
        Shot("fout");
        return false;
    }

    void Step(const std::string& what) { m_result.steps.push_back(what); }

    // The wizard, or the message box it shows.
    void Shot(const std::string& name) {
        HWND box = FindMessageBox(m_process->Id());
        ShotOf(box ? box : m_sheet, name);
    }

    // Answers the boxes that come until the condition holds.
    template <typename F>
    bool Await(F condition, const std::string& what) {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 30000) {
            if (HWND box = FindMessageBox(m_process->Id())) {
                ::Sleep(200);
                const std::string text = MessageBoxText(box);
                m_result.boxes.push_back(text);
                Shot("melding");
                const bool question = ::GetDlgItem(box, IDYES) != nullptr;
                const int answer = question ? (m_options.deleteOriginals ? IDYES : IDNO) : IDOK;
                Step("melding beantwoord: " + text.substr(0, text.find('\n')));
                AnswerMessageBox(box, answer);
                WaitUntil([&] { return !::IsWindow(box); }, 5000);
                continue;
            }
            if (condition()) return true;
            ::Sleep(50);
        }
        return Fail("wachten op: " + what);
    }

    bool PressNext() {
        const HWND before = CurrentPageOf(m_sheet);
        Step("Volgende");
        PressWizardButton(m_sheet, PSBTN_NEXT);
        return Await([&] { return CurrentPageOf(m_sheet) != before; }, "een volgende pagina");
    }

    bool Next(int expected, const std::string& name) {
        if (!PressNext()) return false;
        if (CurrentIndexOf(m_sheet) != expected)
            return Fail("pagina " + std::to_string(CurrentIndexOf(m_sheet)) + " in plaats van " +
                        std::to_string(expected));
        ::Sleep(300);
        Shot(name);
        return true;
    }

    // Saves the analysis as a report under the name the program suggests,
    // in Documents.
    bool SaveReport() {
        char documents[MAX_PATH] = {};
        if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)))
            return Fail("de map Documenten is onbekend");
        const std::string report = std::string(documents) + "\\demo - Zekerpad-rapport.html";
        ::DeleteFileA(report.c_str());  // an earlier walk's: no question to replace it
        HWND page = CurrentPageOf(m_sheet);
        if (!Await([&] { return IsControlEnabled(page, IDC_SAVE_REPORT); }, "de knop Rapport opslaan"))
            return false;
        Step("Rapport opslaan");
        ClickControl(page, IDC_SAVE_REPORT);
        HWND dialog = nullptr;
        if (!Await([&] { return (dialog = FindDialogTitled(m_process->Id(), "Rapport opslaan")) != nullptr; },
                   "het venster Rapport opslaan"))
            return false;
        ::Sleep(300);  // let it paint before its picture is taken
        ShotOf(dialog, "rapport-opslaan");
        Step("Opslaan als " + report);
        ClickControl(dialog, IDOK);
        if (!Await([&] { return ::GetFileAttributesA(report.c_str()) != INVALID_FILE_ATTRIBUTES &&
                                !FindDialogTitled(m_process->Id(), "Rapport opslaan"); },
                   "het opgeslagen rapport"))
            return false;
        m_result.reportPath = report;
        return true;
    }

    // "Bestanden nakijken": every file of the show that is there read to
    // its end; the demo's pictures and sounds are whole.
    bool CheckContents() {
        HWND page = CurrentPageOf(m_sheet);
        if (!Await([&] { return IsControlEnabled(page, IDC_CHECK_CONTENTS); }, "de knop Bestanden nakijken"))
            return false;
        Step("Bestanden nakijken");
        ClickControl(page, IDC_CHECK_CONTENTS);
        HWND dialog = nullptr;
        if (!Await([&] { return (dialog = FindDialogByCaption(m_process->Id(), "Zekerpad - Bestanden nakijken")) != nullptr; },
                   "het venster Bestanden nakijken"))
            return false;
        const auto checked = [&] { return ControlText(dialog, IDC_CC_SUMMARY).rfind("Gelezen:", 0) == 0; };
        if (!Await(checked, "het einde van het nakijken")) return false;
        ::Sleep(200);
        ShotOf(dialog, "nakijken");
        m_result.checkSummary = ControlText(dialog, IDC_CC_SUMMARY);
        Step(m_result.checkSummary.substr(0, m_result.checkSummary.find('\n')));
        ClickControl(dialog, IDCANCEL);
        if (!Await([&] { return !::IsWindow(dialog); }, "het sluiten van Bestanden nakijken")) return false;
        Shot("analyse-nagekeken");
        return true;
    }

    bool Repair(const std::string& name) {
        HWND page = CurrentPageOf(m_sheet);
        Step("Corrigeren op " + name);
        ClickControl(page, IDC_BUTTON_1007);
        if (!Await([&] { return IsControlEnabled(page, IDC_BUTTON_1009); }, "einde van Corrigeren"))
            return false;
        ::Sleep(200);
        Shot(name + "-gecorrigeerd");
        return true;
    }

    // The search for the missing file: it finds the copy in the show's own
    // Audio folder, chosen as the only one; copying it finds it in place.
    bool FindMissing() {
        HWND page = CurrentPageOf(m_sheet);
        Step("Bestanden zoeken");
        ClickControl(page, IDC_FIND_MISSING);
        HWND dialog = nullptr;
        if (!Await([&] { return (dialog = ::FindWindowA("#32770", "Zekerpad - Ontbrekende bestanden zoeken")); },
                   "het zoekvenster"))
            return false;
        const auto searched = [&] {
            return !IsControlEnabled(dialog, IDC_FM_STOP) && ControlText(dialog, IDC_FM_STATUS).rfind("Klaar", 0) == 0;
        };
        if (!Await(searched, "het einde van het zoeken")) return false;
        Step(ControlText(dialog, IDC_FM_STATUS));
        ShotOf(dialog, "zoeken");
        if (IsControlEnabled(dialog, IDC_FM_COPY)) {
            Step("Kopiëren naar de show");
            ClickControl(dialog, IDC_FM_COPY);
            if (!Await([&] { return !m_result.boxes.empty() && m_result.boxes.back().rfind("Er ", 0) == 0; },
                       "de samenvatting van het kopiëren"))
                return false;
        }
        ClickControl(dialog, IDCANCEL);
        if (!Await([&] { return !::IsWindow(dialog); }, "het sluiten van het zoekvenster")) return false;
        Shot("rood-na-zoeken");
        return true;
    }

    bool StartWingsAndReanalyse(int startId, int reanalyseId, const std::string& name) {
        HWND page = CurrentPageOf(m_sheet);
        Step("Start Wings op " + name);
        ClickControl(page, startId);
        if (!Await([&] { return IsControlEnabled(page, reanalyseId); }, "einde van Wings")) return false;
        Step("Opnieuw analyseren");
        ClickControl(page, reanalyseId);
        if (!Await([&] { return CurrentIndexOf(m_sheet) == kAnalysis; }, "de nieuwe analyse")) return false;
        ::Sleep(300);
        Shot("analyse-opnieuw");
        return true;
    }

    // With green light the closing page offers the back-up: made into the
    // walk's folder, with pictures of the dialog before, during and after.
    bool Backup() {
        HWND page = CurrentPageOf(m_sheet);
        if (m_options.backupFolder.empty() || !::IsWindowVisible(::GetDlgItem(page, IDC_BACKUP))) return true;
        Step("Back-up maken naar " + m_options.backupFolder);
        ClickControl(page, IDC_BACKUP);
        HWND dialog = nullptr;
        if (!Await([&] { return (dialog = FindDialogByCaption(m_process->Id(), "Zekerpad - Back-up maken")) != nullptr; },
                   "het venster Back-up maken"))
            return false;
        TypeText(dialog, IDC_BACKUP_DEST, m_options.backupFolder);
        if (!Await([&] { return ControlText(dialog, IDC_BACKUP_PLAN).find("Te kopi") != std::string::npos; },
                   "wat de back-up kopieert"))
            return false;
        ShotOf(dialog, "backup-voor");
        Step("Starten");
        ClickControl(dialog, IDC_BACKUP_START);
        // Stoppen is enabled only while the back-up runs: the picture is
        // taken then, whichever file is on its way. A back-up that ended
        // before it could be seen running gets no such picture.
        const auto ended = [&] { return !ControlText(dialog, IDC_BACKUP_SUMMARY).empty(); };
        if (!Await([&] { return IsControlEnabled(dialog, IDC_BACKUP_STOP) || ended(); }, "de back-up aan het werk"))
            return false;
        if (!ended()) ShotOf(dialog, "backup-bezig");
        if (!Await(ended, "het einde van de back-up")) return false;
        ::Sleep(200);
        ShotOf(dialog, "backup-na");
        m_result.backupSummary = ControlText(dialog, IDC_BACKUP_SUMMARY);
        // The back-up proves itself: every file read back against its record.
        Step("Back-up controleren");
        ClickControl(dialog, IDC_BACKUP_VERIFY);
        if (!Await([&] { return ControlText(dialog, IDC_BACKUP_SUMMARY).find("De back-up is in orde") == 0; },
                   "de controle van de back-up"))
            return false;
        ShotOf(dialog, "backup-controle");
        Step("Sluiten");
        ClickControl(dialog, IDCANCEL);
        return Await([&] { return !::IsWindow(dialog); }, "het sluiten van Back-up maken");
    }

    // A new run checks the back-up just made from the first page: the
    // picker opens at the folder of that back-up, so OK chooses it.
    bool VenueCheck() {
        if (m_result.backupSummary.empty()) return true;
        Step("Zekerpad opnieuw gestart");
        m_process = std::make_unique<ZekerpadProcess>(m_options.exePath);
        if (!m_process->Started()) return Fail("Zekerpad.exe kon niet opnieuw gestart worden");
        m_sheet = m_process->WaitForWizard();
        if (!m_sheet) return Fail("de wizard verscheen niet opnieuw");
        Step("Back-up of show controleren");
        ClickControl(CurrentPageOf(m_sheet), IDC_INTRO_CHECK);
        HWND picker = nullptr;
        if (!Await([&] { return (picker = FindFolderPicker(m_process->Id())) != nullptr; }, "de mapkiezer"))
            return false;
        ::Sleep(300);  // let it paint before its picture is taken
        ShotOf(picker, "controle-kiezer");
        Step("OK in de mapkiezer");
        ClickControl(picker, IDOK);
        HWND dialog = nullptr;
        if (!Await([&] {
                return (dialog = FindDialogByCaption(m_process->Id(), "Zekerpad - Back-up of show controleren")) !=
                       nullptr;
            }, "het venster Back-up of show controleren"))
            return false;
        Step("Gekozen: " + ControlText(dialog, IDC_BACKUP_SHOW));
        if (!Await([&] { return IsControlEnabled(dialog, IDC_BACKUP_VERIFY); }, "de knop Controleren")) return false;
        Step("Controleren");
        ClickControl(dialog, IDC_BACKUP_VERIFY);
        const auto checked = [&] { return ControlText(dialog, IDC_BACKUP_SUMMARY).rfind("De back-up is ", 0) == 0; };
        if (!Await(checked, "de uitslag van de controle")) return false;
        ::Sleep(200);
        ShotOf(dialog, "controle-uitslag");
        m_result.venueCheckSummary = ControlText(dialog, IDC_BACKUP_SUMMARY);
        Step(m_result.venueCheckSummary.substr(0, m_result.venueCheckSummary.find('\n')));
        Step("Sluiten");
        ClickControl(dialog, IDCANCEL);
        if (!Await([&] { return !::IsWindow(dialog); }, "het sluiten van Back-up of show controleren")) return false;
        Step("Annuleren");
        PressWizardButton(m_sheet, PSBTN_CANCEL);
        bool ended = false;
        if (!Await([&] { return (ended = m_process->WaitForExit(0)); }, "het einde van Zekerpad")) return false;
        return ended;
    }

    // Numbered in the order taken.
    void ShotOf(HWND window, const std::string& name) {
        if (m_options.screenshotDir.empty() || !window) return;
        char file[32];
        std::snprintf(file, sizeof file, "%02d-", ++m_shots);
        SaveScreenshot(window, m_options.screenshotDir + "\\" + file + name + ".bmp");
    }

    bool Finish() {
        m_result.closingText = ControlText(CurrentPageOf(m_sheet), IDC_TEXT);
        Step("Voltooien");
        PressWizardButton(m_sheet, PSBTN_FINISH);
        if (!m_process->WaitForExit()) return Fail("Zekerpad eindigde niet na Voltooien");
        return true;
    }

    const WalkOptions& m_options;
    WalkResult& m_result;
    std::unique_ptr<ZekerpadProcess> m_process;
    HWND m_sheet = nullptr;
    int m_shots = 0;
};

}  // namespace

WalkResult WalkTypicalRun(const WalkOptions& options) {
    WalkResult result;
    Walker walker(options, result);
    result.completed = walker.Run();
    return result;
}

// The Help button and F1 open the manual beside the program at the section
// of the page shown; without the manual a message says where it was
// expected. And the manual itself: a section for every page, nothing
// fetched from outside.
#include "support/driver.h"
#include "support/test_support.h"

#include <commctrl.h>
#include <prsht.h>

#include <regex>
#include <set>

#include "services/help.h"
#include "services/help_url.h"
#include "services/msgbox.h"
#include "backup/backup_dialog.h"
#include "media/content_dialog.h"
#include "repair/find_missing_dialog.h"
#include "report/check_all_dialog.h"
#include "resource.h"

namespace {

// A manual beside the test program for the length of one test.
class ManualBesideProgram {
public:
    ManualBesideProgram() { m_bWritten = WriteWholeFile(ManualPath(), "<html></html>"); }
    ~ManualBesideProgram() { ::DeleteFileA(ManualPath().c_str()); }
    bool Written() const { return m_bWritten; }

private:
    bool m_bWritten;
};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A file URL of the manual, opened at this section.
void ExpectManualUrl(const std::vector<std::string>& urls, const std::string& anchor) {
    ASSERT_FALSE(urls.empty()) << "nothing opened for #" << anchor;
    const std::string& url = urls.back();
    EXPECT_EQ(url.rfind("file:///", 0), 0u) << url;
    EXPECT_TRUE(EndsWith(url, "/handleiding.html#" + anchor)) << url;
    EXPECT_EQ(url.find('\\'), std::string::npos) << url;
    EXPECT_EQ(url.find(' '), std::string::npos) << url;
}

void PressHelp(const WizardHarness& wizard) {
    ClickDialogButton(wizard.Sheet(), IDHELP);
    PumpMessages();
}

// F1 as the keyboard sends it, to the window that has the focus.
void PressF1(HWND focus) {
    ::SetForegroundWindow(::GetAncestor(focus, GA_ROOT));
    ::SetFocus(focus);
    PumpMessages(50);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
    PumpMessages(300);
}

TEST(Help, TheWizardShowsAHelpButton) {
    WizardHarness wizard;
    EXPECT_TRUE(wizard.IsButtonVisible(IDHELP));
    EXPECT_TRUE(wizard.IsButtonEnabled(IDHELP));
}

TEST(Help, HelpButtonOpensTheManualAtThePageShown) {
    ManualBesideProgram manual;
    ASSERT_TRUE(manual.Written());
    UrlOpenRecorder urls;
    MessageBoxRecorder boxes;
    WizardHarness wizard;

    PressHelp(wizard);
    ExpectManualUrl(urls.Urls(), "introductie");

    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(wizard.CurrentIndex(), 1);
    PressHelp(wizard);
    ExpectManualUrl(urls.Urls(), "selectie");

    wizard.GoTo(7);
    ASSERT_EQ(wizard.CurrentIndex(), 7);
    PressHelp(wizard);
    ExpectManualUrl(urls.Urls(), "klaar");

    EXPECT_EQ(urls.Urls().size(), 3u);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(Help, F1OpensTheManualAtThePageShownWhereverTheFocusIs) {
    ManualBesideProgram manual;
    ASSERT_TRUE(manual.Written());
    UrlOpenRecorder urls;
    MessageBoxRecorder boxes;
    WizardHarness wizard;

    // The focus on a control of the page...
    wizard.Press(PSBTN_NEXT);
    ASSERT_EQ(wizard.CurrentIndex(), 1);
    PressF1(::GetDlgItem(wizard.CurrentPage(), IDC_SHOW_EDIT));
    ExpectManualUrl(urls.Urls(), "selectie");

    // ...and on one of the wizard's own buttons.
    wizard.GoTo(0);
    PressF1(::GetDlgItem(wizard.Sheet(), IDCANCEL));
    ExpectManualUrl(urls.Urls(), "introductie");

    EXPECT_EQ(urls.Urls().size(), 2u);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// F1 in a dialog opened over the wizard, with the focus on its Sluiten
// button; then the dialog is closed (its work stopped first, if any).
std::string UrlOfF1In(CModalDialog& dialog, const char* caption, int stopButton) {
    UrlOpenRecorder urls;
    ModalDriver shown(caption, {[&](HWND dlg) {
                          PressF1(::GetDlgItem(dlg, IDCANCEL));
                          if (stopButton) ClickDialogButton(dlg, stopButton);
                          ::PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
                      }});
    dialog.DoModal(nullptr);
    EXPECT_TRUE(shown.Done()) << caption;
    return urls.Urls().size() == 1 ? urls.Urls()[0] : std::to_string(urls.Urls().size()) + " URLs";
}

TEST(Help, F1InEachDialogOpensTheDialogsOwnSection) {
    ManualBesideProgram manual;
    ASSERT_TRUE(manual.Written());
    MessageBoxRecorder boxes;
    MakeFolderTree("C:\\ZkHelp\\Show");

    CDialogBackup backup("C:\\ZkHelp\\Show\\");
    ExpectManualUrl({UrlOfF1In(backup, "Zekerpad - Back-up maken", 0)}, "back-up");
    CDialogFindMissing findMissing({"C:\\ZkHelp\\weg.wav"});
    ExpectManualUrl({UrlOfF1In(findMissing, "Zekerpad - Ontbrekende bestanden zoeken", IDC_FM_STOP)}, "zoeken");
    CCheckAllDialog checkAll({"C:\\ZkHelp\\Show\\weg.ws4"});
    ExpectManualUrl({UrlOfF1In(checkAll, "Zekerpad - Alle shows controleren", IDC_CHECK_STOP)}, "alle-shows");
    CDialogCheckContents checkContents({"C:\\ZkHelp\\weg.wav"});
    ExpectManualUrl({UrlOfF1In(checkContents, "Zekerpad - Bestanden nakijken", IDC_CC_STOP)}, "nakijken");

    EXPECT_TRUE(boxes.Boxes().empty());
    DeleteTree("C:\\ZkHelp");
}

TEST(Help, WithoutTheManualAMessageSaysWhereItWasExpected) {
    ::DeleteFileA(ManualPath().c_str());
    UrlOpenRecorder urls;
    MessageBoxRecorder boxes;
    WizardHarness wizard;

    PressHelp(wizard);
    EXPECT_TRUE(urls.Urls().empty());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const auto& box = boxes.Boxes()[0];
    EXPECT_EQ(box.text, "De handleiding is niet gevonden. Zekerpad zoekt haar naast het programma, op deze "
                        "plaats:\n" + ManualPath() + "\n\nZet het bestand handleiding.html daar neer, of "
                        "installeer Zekerpad opnieuw.");
    EXPECT_EQ(box.caption, ProgramTitle());
    EXPECT_EQ(box.type, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));

    // Beside the program that runs, whatever its folder.
    const std::string exe = ExecutablePath();
    const std::string folder = exe.substr(0, exe.find_last_of('\\') + 1);
    EXPECT_EQ(ManualPath(), folder + "handleiding.html");
}

TEST(Help, PathsGoIntoTheUrlAsUtf8) {
    // The program's texts are code page 1252: 0xEB is e with diaeresis.
    EXPECT_EQ(AnsiToUtf8("Kopi\xEBren"), "Kopi\xC3\xABren");
    EXPECT_EQ(AnsiToUtf8(""), "");
}

// The manual as the build puts it beside Zekerpad.exe.
std::string BuiltManual() { return ReadWholeFile(ProgramFolder() + "\\handleiding.html"); }

TEST(Manual, HasASectionForEveryPageAndEveryLinkLandsOnOne) {
    const std::string html = BuiltManual();
    ASSERT_FALSE(html.empty()) << "no handleiding.html beside Zekerpad.exe";

    std::set<std::string> ids;
    const std::regex idPattern("\\bid=\"([^\"]+)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), idPattern), end; it != end; ++it) {
        EXPECT_TRUE(ids.insert((*it)[1]).second) << "id twice: " << (*it)[1];
    }
    for (int page = 0; page < kManualPageSections; ++page)
        EXPECT_EQ(ids.count(std::string(ManualAnchor(page))), 1u) << "no section " << ManualAnchor(page);
    for (const char* dialog : {"back-up", "zoeken", "alle-shows", "nakijken"})
        EXPECT_EQ(ids.count(dialog), 1u) << "no section " << dialog;

    const std::regex linkPattern("href=\"#([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), linkPattern), end; it != end; ++it)
        EXPECT_EQ(ids.count((*it)[1]), 1u) << "link to a missing section: #" << (*it)[1];
}

TEST(Manual, TheContentsUseThePagesOwnTitlesAndNameTheQuestionsSection) {
    const std::string html = BuiltManual();
    ASSERT_FALSE(html.empty());
    for (const char* entry :
         {"<a href=\"#introductie\">Introductie</a>", "<a href=\"#selectie\">Selectie van show</a>",
          "<a href=\"#analyse\">Analyse en resultaten</a>", "<a href=\"#rood\">Bestanden met rode stip</a>",
          "<a href=\"#geel1\">Bestanden met gele stip (type 1)</a>",
          "<a href=\"#geel2\">Bestanden met gele stip (type 2)</a>",
          "<a href=\"#overige\">Overige bestanden</a>", "<a href=\"#klaar\">Klaar</a>",
          "<a href=\"#vragen\">Vragen en fouten melden</a>"}) {
        EXPECT_NE(html.find(entry), std::string::npos) << entry;
    }
    EXPECT_NE(html.find("<h2 id=\"vragen\">Vragen en fouten melden</h2>"), std::string::npos);
    for (const char* stale : {"tovenaar", "projectpagina", "doorzoekt"})
        EXPECT_EQ(html.find(stale), std::string::npos) << stale;
}

TEST(Manual, NeedsNothingFromOutsideAndRunsNoScripts) {
    const std::string html = BuiltManual();
    ASSERT_FALSE(html.empty());
    for (const char* forbidden : {"<script", "javascript:", "http:", "https:", "src=", "@import", "url(",
                                  "<link", "<iframe", "<object"}) {
        EXPECT_EQ(html.find(forbidden), std::string::npos) << forbidden;
    }
    // Every link stays inside the manual.
    const std::regex linkPattern("href=\"([^\"]*)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), linkPattern), end; it != end; ++it)
        EXPECT_EQ((*it)[1].str().rfind('#', 0), 0u) << (*it)[1];
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_NE(html.find("<html lang=\"nl\">"), std::string::npos);
}

}  // namespace

// Shows every page of the wizard and the about box with results that make
// no page skip itself, and saves a screenshot of each for people to look
// at (build/screenshots/pages). Fails when a page cannot be shown.
#include "support/driver.h"
#include "support/test_support.h"

#include <commctrl.h>
#include <prsht.h>

#include "files/file_reference.h"
#include "services/run_log.h"
#include "services/state.h"
#include "resource.h"

namespace {

TEST(Gallery, EveryPageAndTheAboutBoxPicture) {
    const std::string dir = "C:\\ZkGallery";
    DeleteTree(dir);
    ::CreateDirectoryA(dir.c_str(), nullptr);
    const std::string show = dir + "\\galerij.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ""));

    MessageBoxRecorder boxes;
    WizardHarness wizard;
    g_csRecentFile = show;
    ::SetForegroundWindow(wizard.Sheet());
    // Frozen in the bitmap's phase, so the pictures show the blinking lamp lit.
    ::KillTimer(wizard.Sheet(), 1);
    g_bBlink = 1;

    const char* names[] = {"0-introductie", "1-selectie", "2-analyse", "3-rood",
                           "4-geel1", "5-geel2", "6-overige", "7-klaar"};
    for (int index = 0; index < 8; ++index) {
        if (index == 3) {
            // From here on every page finds work, and the traffic light shows red.
            g_bAnalysed = 1;
            g_csAnalysedFile = show;
            g_aRedFiles.push_back(std::make_unique<CFileReference>());
            g_aRedFiles.back()->m_csPath = dir + "\\Audio\\weg.wav";
            g_nRed = 1;
            g_nYellow = 2;
            g_nYellow1 = 1;
            g_nYellow2 = 1;
            g_nOther = 1;
        }
        wizard.GoTo(index);
        ASSERT_EQ(wizard.CurrentIndex(), index) << names[index];
        // The show named in the field, so the pages that quote it show it.
        if (index == 1) ::SetDlgItemTextA(wizard.CurrentPage(), IDC_SHOW_EDIT, show.c_str());
        EXPECT_TRUE(SaveShot(wizard.Sheet(), std::string("pages\\") + names[index]));
    }

    bool aboutShot = false;
    ModalDriver about("Over Wings Zekerpad", {[&](HWND box) {
                          aboutShot = SaveShot(box, "pages\\about");
                          ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                      }});
    ::SendMessageA(wizard.Sheet(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_TRUE(about.Done());
    EXPECT_TRUE(aboutShot);

    ResetSharedState();
    g_csRecentFile.clear();
    DeleteTree(dir);
}

}  // namespace

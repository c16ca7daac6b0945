// The result tree's pictures at the screen's DPI: the image list follows the
// system's small-icon size, and at 144 DPI (set for a child process through
// the registry, as a user sets it) that is 24 pixels, not a tiny 16.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "files/file_reference.h"
#include "services/state.h"
#include "resource.h"
#include "support/driver.h"
#include "support/test_support.h"

namespace {
constexpr char kChildEnv[] = "ZK_EXPECT_SMALL_ICON";

}  // namespace

// Also run by HighDpi.At144DpiTheTreePicturesAre24Pixels in a process of
// its own, which then also saves a screenshot of the page.
TEST(HighDpi, TheTreePicturesHaveTheSmallIconSize) {
    ScratchFolder dir("C:\\ZkHighDpi");
    ASSERT_TRUE(WriteWholeFile(dir / "a.wav", "a"));
    const std::string show = dir / "show.ws4";
    // A device's name too, so that the picture shows the note below the counts.
    ASSERT_TRUE(WriteWholeFile(show, "WS4" + std::string(1, '\0') + dir / "a.wav" + std::string(1, '\0') +
                                         dir / "weg.jpg" + std::string(1, '\0') + dir / "aux.wav" +
                                         std::string(1, '\0')));
    MessageBoxRecorder boxes;
    WizardHarness wizard;
    g_csRecentFile = show;
    wizard.GoTo(2);
    ASSERT_EQ(wizard.CurrentIndex(), 2);

    HWND tree = ::GetDlgItem(wizard.CurrentPage(), IDC_TREE);
    auto images = reinterpret_cast<HIMAGELIST>(::SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    ASSERT_TRUE(images);
    int cx = 0, cy = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(images, &cx, &cy));
    EXPECT_EQ(cx, ::GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(cy, ::GetSystemMetrics(SM_CYSMICON));
    EXPECT_EQ(::ImageList_GetImageCount(images), 6);

    if (const char* expected = std::getenv(kChildEnv)) {
        EXPECT_EQ(cx, std::atoi(expected));
        EXPECT_EQ(cy, std::atoi(expected));
        EXPECT_TRUE(SaveShot(wizard.Sheet(), "pages-144dpi\\2-analyse"));
        // The closing page's regret, the file left and the contact lines.
        wizard.GoTo(7);
        EXPECT_TRUE(SaveShot(wizard.Sheet(), "pages-144dpi\\7-klaar"));
    }
}

namespace {
// Runs one test of this program again in a process of its own at 144 DPI;
// its exit code, or -1 when it did not run.
long RunAt144Dpi(const std::string& test) {
    ::SetEnvironmentVariableA(kChildEnv, "24");
    const long exitCode = RunTestsAt144Dpi(test);
    ::SetEnvironmentVariableA(kChildEnv, nullptr);
    return exitCode;
}
}  // namespace

TEST(HighDpi, At144DpiTheTreePicturesAre24Pixels) {
    if (std::getenv(kChildEnv)) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(RunAt144Dpi("HighDpi.TheTreePicturesHaveTheSmallIconSize"), 0) << "the child's check at 144 DPI failed";
}

// Pictures of "Bestanden nakijken" and the analysis page with its button,
// at 96 DPI and, run by the next test in a process of its own, at 144.
TEST(HighDpi, PicturesOfBestandenNakijken) {
    ScratchFolder dir("C:\\ZkNakijkenFoto");
    ASSERT_TRUE(MakeFolderTree(dir / "Audio"));
    ASSERT_TRUE(WriteWholeFile(dir / "Audio\\applaus.wav", std::string(3000, '\0')));
    ASSERT_TRUE(WriteWholeFile(dir / "titel.jpg", ""));
    ASSERT_TRUE(WriteWholeFile(dir / "draaiboek.txt", "Licht uit bij dia 12."));
    const std::string show = dir / "voorjaar.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes({dir / "Audio\\applaus.wav", dir / "titel.jpg", dir / "draaiboek.txt"})));
    const std::string folder = std::getenv(kChildEnv) ? "pages-144dpi\\" : "pages\\";
    MessageBoxRecorder boxes;
    WizardHarness wizard;
    ::KillTimer(wizard.Sheet(), 1);
    g_csRecentFile = show;
    wizard.GoTo(2);
    ASSERT_EQ(wizard.CurrentIndex(), 2);
    EXPECT_TRUE(SaveShot(wizard.Sheet(), folder + "2-analyse-nakijken"));

    bool shot = false;
    ModalDriver driver("Zekerpad - Bestanden nakijken",
                       {[&](HWND dialog) {
                           // The first line chosen: its reason in full above the list.
                           LVITEMA item{};
                           item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
                           ::SendDlgItemMessageA(dialog, IDC_CC_LIST, LVM_SETITEMSTATE, 0,
                                                 reinterpret_cast<LPARAM>(&item));
                           shot = SaveShot(dialog, folder + "nakijken");
                           ClickDialogButton(dialog, IDCANCEL);
                       }},
                       [](HWND dialog) { return !IsEnabled(dialog, IDC_CC_STOP) && IsEnabled(dialog, IDCANCEL); });
    ClickDialogButton(wizard.CurrentPage(), IDC_CHECK_CONTENTS);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(shot);
    EXPECT_TRUE(SaveShot(wizard.Sheet(), folder + "2-analyse-nagekeken"));
    wizard.GoTo(7);
    EXPECT_TRUE(SaveShot(wizard.Sheet(), folder + "7-klaar-beschadigd"));
}

TEST(HighDpi, PicturesOfBestandenNakijkenAt144Dpi) {
    if (std::getenv(kChildEnv)) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(RunAt144Dpi("HighDpi.PicturesOfBestandenNakijken"), 0);
}

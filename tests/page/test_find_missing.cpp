// The search for missing files from the red page: what it finds on the
// drives, what the user chooses, and that its copies into the show never
// overwrite and never touch the found file.
#include "services/state.h"
#include "page/repair_fixture.h"
#include "resource.h"
#include "support/driver.h"

#include <deque>

namespace {
constexpr char kCaption[] = "Zekerpad - Ontbrekende bestanden zoeken";

bool IsChecked(HWND tree, HTREEITEM item) {
    return (::SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK) >> 12) == 2;
}

// The search has ended: its stop is off and its status no longer says
// where it searches.
bool SearchEnded(HWND dialog) {
    return !IsEnabled(dialog, IDC_FM_STOP) && ItemText(dialog, IDC_FM_STATUS).rfind("Zoeken", 0) != 0;
}

class FindMissing : public RepairPageTest {
protected:
    void SetUp() override {
        RepairPageTest::SetUp();
        DeleteTree(Root('E'));
        m_cleanup.push_back(Root('E'));
    }
    std::string Show() const { return Root() + "\\Show\\"; }

    // The red page for a show whose named files are all missing.
    HWND RedPage(const std::vector<std::string>& missing) {
        UseShow(Show() + "show.ws4");
        MakeTestFile(g_csRecentFile, "WS4");
        for (const std::string& path : missing) AddRedRecord(path);
        return ShowPage(3);
    }

    // Opens the dialog from the page and runs the steps in it once the
    // search (of the test's own folders on C:, D: and E:) has ended.
    void Search(HWND page, std::deque<ModalDriver::Step> steps) {
        ScopedSearchRoots roots({Root('C'), Root('D'), Root('E')});
        ModalDriver driver(kCaption, std::move(steps), &SearchEnded);
        ClickButton(page, IDC_FIND_MISSING);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(nullptr, ::FindWindowA("#32770", kCaption));
    }

    // Top level: the missing files; below each: what was found for it.
    struct Shown {
        std::string group;
        std::vector<std::string> candidates;
        std::vector<bool> checked;
    };
    static std::vector<Shown> Read(HWND dialog) {
        HWND tree = ::GetDlgItem(dialog, IDC_FM_TREE);
        std::vector<Shown> all;
        const std::vector<std::string> groups = TreeChildTexts(tree, TVI_ROOT);
        size_t i = 0;
        for (HTREEITEM g = TreeView_GetRoot(tree); g; g = TreeView_GetNextSibling(tree, g), ++i) {
            Shown s;
            s.group = groups.at(i);
            s.candidates = TreeChildTexts(tree, g);
            for (HTREEITEM c = TreeView_GetChild(tree, g); c; c = TreeView_GetNextSibling(tree, c))
                s.checked.push_back(IsChecked(tree, c));
            all.push_back(s);
        }
        return all;
    }
    // The item of a found file: its group's and its own place in the list.
    static HTREEITEM CandidateItem(HWND tree, size_t group, size_t candidate) {
        HTREEITEM g = TreeView_GetRoot(tree);
        for (size_t i = 0; i < group; ++i) g = TreeView_GetNextSibling(tree, g);
        HTREEITEM c = TreeView_GetChild(tree, g);
        for (size_t i = 0; i < candidate; ++i) c = TreeView_GetNextSibling(tree, c);
        return c;
    }
    // Ticks or unticks a found file's box with the space bar, as a user can.
    static void Toggle(HWND dialog, size_t group, size_t candidate) {
        HWND tree = ::GetDlgItem(dialog, IDC_FM_TREE);
        HTREEITEM c = CandidateItem(tree, group, candidate);
        ::SetFocus(tree);
        TreeView_SelectItem(tree, c);
        ::SendMessageA(tree, WM_KEYDOWN, VK_SPACE, 0);
        ::SendMessageA(tree, WM_CHAR, ' ', 0);
        ::SendMessageA(tree, WM_KEYUP, VK_SPACE, 0);
    }
    // Ticks or unticks a found file's box with the mouse: a click on the box
    // left of its text.
    static void Click(HWND dialog, size_t group, size_t candidate) {
        HWND tree = ::GetDlgItem(dialog, IDC_FM_TREE);
        HTREEITEM c = CandidateItem(tree, group, candidate);
        RECT rc{};
        ASSERT_TRUE(TreeView_GetItemRect(tree, c, &rc, TRUE));
        POINT pt{rc.left - 8, (rc.top + rc.bottom) / 2};
        POINT screen = pt;
        ::ClientToScreen(tree, &screen);
        ::SetCursorPos(screen.x, screen.y);
        ::PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        ::PostMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    }
    static ModalDriver::Step Close() {
        return [](HWND d) { ClickDialogButton(d, IDCANCEL); };
    }
};
}  // namespace

TEST_F(FindMissing, OneCandidateOnTheRemovableDriveIsCopiedAndTheShowComesOutGreen) {
    const std::string lost = Root() + "\\Oud\\zk_een_vondst.wav";
    const std::string stick = Root('E') + "\\Stick\\zk_een_vondst.WAV";
    MakeTestFile(stick, TestBytes(1234, 1));
    const FileState found = StateOf(stick);
    MakeTestFile(Show() + "show.ws4", std::string("WS4\0", 4) + lost + '\0' + "einde");
    SetStandInEnv("ZK_WINGS_RELINK", "1");
    UseShow(Show() + "show.ws4");
    g_bAnalysed = 0;
    ShowPage(2);
    ASSERT_EQ(1, g_nRed);
    m_wizard->Press(PSBTN_NEXT);
    HWND page = m_wizard->CurrentPage();
    ASSERT_EQ(3, m_wizard->CurrentIndex());
    EXPECT_FALSE(IsVisible(page, IDC_RED_NEXT));
    const size_t before = LogSoFar().size();

    Search(page, {[&](HWND d) {
                      const std::vector<Shown> shown = Read(d);
                      ASSERT_EQ(1u, shown.size());
                      EXPECT_EQ(lost, shown[0].group);
                      ASSERT_EQ(1u, shown[0].candidates.size());
                      EXPECT_EQ(0u, shown[0].candidates[0].find(stick + "   (1,2 kB, "));
                      EXPECT_TRUE(shown[0].checked[0]);
                      EXPECT_EQ(0u, ItemText(d, IDC_FM_STATUS).find("Klaar: "));
                      ClickDialogButton(d, IDC_FM_COPY);
                      EXPECT_FALSE(IsEnabled(d, IDC_FM_COPY));
                  },
                  Close()});

    const std::string copy = Show() + "Audio\\zk_een_vondst.wav";
    EXPECT_EQ(found.bytes, ReadWholeFile(copy));
    EXPECT_TRUE(StateOf(stick) == found);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ("Er is 1 bestand naar de show gekopieerd.", m_boxes.Boxes()[0].text);
    EXPECT_EQ(unsigned(MB_OK | MB_ICONINFORMATION), m_boxes.Boxes()[0].type);
    const std::string log = LogSoFar().substr(before);
    EXPECT_EQ(0u, log.find("Start zoeken ontbrekende bestanden\n\r-> schijven - "));
    EXPECT_NE(std::string::npos, log.find("-> rood - " + lost + "\n\r-> gevonden - " + stick + "\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> bron - " + stick + "\n\r-> doel - " + copy +
                                          "\n\r->   - kopie OK\n\r-> gekopieerd - 1\n\r"
                                          "Einde zoeken ontbrekende bestanden\n\r"));

    // The page says what to do next, and Wings can be started for it.
    EXPECT_TRUE(IsVisible(page, IDC_RED_NEXT));
    EXPECT_EQ("Klik op 'Start Wings': Wings vindt de bestanden nu op schijf C:.",
              ItemText(page, IDC_RED_NEXT));
    ClickButton(page, 1007);
    ClickButton(page, 1009);
    ASSERT_EQ(2, m_wizard->CurrentIndex());
    EXPECT_EQ(0, g_nRed);
    EXPECT_EQ(1, g_nGreen);
}

// The line that says what to do after copies sits between the help text and
// the buttons, all of it shown, with room left above the buttons; at 144
// DPI as well (run again by the next test).
TEST_F(FindMissing, TheNextStepFitsAboveTheButtonsWithRoomBelow) {
    const std::string lost = Root() + "\\Oud\\zk_past.wav";
    MakeTestFile(Root('E') + "\\zk_past.wav", TestBytes(100, 4));
    HWND page = RedPage({lost});
    Search(page, {[&](HWND d) { ClickDialogButton(d, IDC_FM_COPY); }, Close()});
    ASSERT_TRUE(IsVisible(page, IDC_RED_NEXT));
    const auto rectOf = [&](int id) {
        RECT rc{};
        ::GetWindowRect(::GetDlgItem(page, id), &rc);
        ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    const RECT help = rectOf(IDC_TEXT), next = rectOf(IDC_RED_NEXT), button = rectOf(IDC_BUTTON_1007);
    // The text as the control draws it, in the control's own font.
    HWND line = ::GetDlgItem(page, IDC_RED_NEXT);
    RECT need{0, 0, next.right - next.left, 0};
    {
        HDC dc = ::GetDC(line);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(line, WM_GETFONT, 0, 0)));
        const std::string text = ItemText(page, IDC_RED_NEXT);
        ::DrawTextA(dc, text.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc, old);
        ::ReleaseDC(line, dc);
    }
    RECT gap{0, 0, 0, 4};
    ::MapDialogRect(page, &gap);
    EXPECT_LE(help.bottom, next.top);
    EXPECT_GE(next.bottom - next.top, need.bottom) << "the line is cut";
    EXPECT_LE(next.bottom, button.top - gap.bottom) << "no room between the line and the buttons";
    EXPECT_LE(next.top + need.bottom, button.top - gap.bottom);
    EXPECT_TRUE(SaveShot(m_wizard->Sheet(), ShotFolder("words") + "3-rood-na-zoeken"));
}

// Without the fixture: the child opens the run log itself.
TEST(FindMissingAt144Dpi, TheNextStepFitsAboveTheButtonsWithRoomBelow) {
    if (InDpiChild()) GTEST_SKIP() << "the child itself";
    EXPECT_EQ(0, RunTestsAt144Dpi("FindMissing.TheNextStepFitsAboveTheButtonsWithRoomBelow"));
}

TEST_F(FindMissing, SeveralCandidatesWaitForTheUsersChoiceAndNoneSaysNietGevonden) {
    const std::string twee = Show() + "Audio\\zk_twee_vondst.wav";
    const std::string geen = Show() + "Plaatjes\\zk_geen_vondst.jpg";
    const std::string onD = Root('D') + "\\Oud\\zk_twee_vondst.wav";
    const std::string onE = Root('E') + "\\zk_Twee_Vondst.wav";
    MakeTestFile(onD, TestBytes(300, 2));
    MakeTestFile(onE, TestBytes(500, 3));
    const FileState keptD = StateOf(onD), keptE = StateOf(onE);
    HWND page = RedPage({twee, geen});
    const size_t before = LogSoFar().size();
    std::string ticked;

    Search(page, {[&](HWND d) {
                      const std::vector<Shown> shown = Read(d);
                      ASSERT_EQ(2u, shown.size());
                      EXPECT_EQ("Kies een bestand:  " + twee, shown[0].group);
                      ASSERT_EQ(2u, shown[0].candidates.size());
                      EXPECT_EQ((std::vector<bool>{false, false}), shown[0].checked);
                      EXPECT_EQ("Niet gevonden:  " + geen, shown[1].group);
                      EXPECT_TRUE(shown[1].candidates.empty());
                      EXPECT_FALSE(IsEnabled(d, IDC_FM_COPY));
                      Toggle(d, 0, 0);
                  },
                  [&](HWND d) {
                      const std::vector<Shown> shown = Read(d);
                      EXPECT_EQ(twee, shown[0].group);
                      EXPECT_EQ((std::vector<bool>{true, false}), shown[0].checked);
                      EXPECT_TRUE(IsEnabled(d, IDC_FM_COPY));
                      Click(d, 0, 1);  // the other one replaces the choice
                  },
                  [&](HWND d) {
                      EXPECT_EQ((std::vector<bool>{false, true}), Read(d)[0].checked);
                      Toggle(d, 0, 1);  // and unticked, nothing is chosen
                  },
                  [&](HWND d) {
                      EXPECT_EQ((std::vector<bool>{false, false}), Read(d)[0].checked);
                      EXPECT_FALSE(IsEnabled(d, IDC_FM_COPY));
                      Toggle(d, 0, 1);
                      ticked = Read(d)[0].candidates[1];
                  },
                  [&](HWND d) {
                      ClickDialogButton(d, IDC_FM_COPY);
                      ClickDialogButton(d, IDCANCEL);
                  }});

    // The copy holds the bytes of the candidate ticked last, the second in
    // the list, whichever drive the walk listed first.
    const bool tickedE = ticked.rfind(onE + "   (500 bytes, ", 0) == 0;
    ASSERT_TRUE(tickedE || ticked.rfind(onD + "   (300 bytes, ", 0) == 0) << ticked;
    EXPECT_TRUE(ReadWholeFile(twee) == (tickedE ? TestBytes(500, 3) : TestBytes(300, 2)));
    const std::string log = LogSoFar().substr(before);
    EXPECT_NE(std::string::npos, log.find("-> bron - " + (tickedE ? onE : onD) + "\n\r-> doel - " + twee + "\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> rood - " + geen + "\n\r->   - niet gevonden\n\r"));
    EXPECT_FALSE(PathIsFile(geen));
    EXPECT_TRUE(StateOf(onD) == keptD);
    EXPECT_TRUE(StateOf(onE) == keptE);
}

TEST_F(FindMissing, AnExistingTargetIsRefusedAndOneAlreadyInPlaceIsLeft) {
    // The show's own Audio folder holds a different file of that name: the
    // search finds it too, and the user picks the one on E:.
    const std::string target = Show() + "Audio\\zk_bestaat.wav";
    const std::string onE = Root('E') + "\\zk_bestaat.wav";
    MakeTestFile(target, TestBytes(100, 4));
    MakeTestFile(onE, TestBytes(200, 5));
    const FileState inShow = StateOf(target), keptE = StateOf(onE);
    HWND page = RedPage({Root() + "\\Oud\\zk_bestaat.wav"});
    const size_t before = LogSoFar().size();

    size_t eIndex = 0;
    Search(page, {[&](HWND d) {
                      const std::vector<Shown> shown = Read(d);
                      ASSERT_EQ(2u, shown[0].candidates.size());
                      eIndex = shown[0].candidates[0].rfind(onE, 0) == 0 ? 0 : 1;
                      Toggle(d, 0, eIndex);
                  },
                  [&](HWND d) { ClickDialogButton(d, IDC_FM_COPY); }, Close()});

    EXPECT_TRUE(StateOf(target) == inShow);
    EXPECT_TRUE(StateOf(onE) == keptE);
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ("Het volgende bestand bestaat al:\n" + target, m_boxes.Boxes()[0].text);
    EXPECT_EQ(unsigned(MB_OK | MB_ICONEXCLAMATION), m_boxes.Boxes()[0].type);
    EXPECT_EQ("Er is geen bestand naar de show gekopieerd.\n\n1 bestand is niet gekopieerd. De reden staat in de "
              "meldingen en in het logboek C:\\Zekerpad.log.",
              m_boxes.Boxes()[1].text);
    EXPECT_NE(std::string::npos, LogSoFar().find("-> doel - " + target + "\n\r-> stop - doelbestand bestaat al\n\r"
                                                 "-> gekopieerd - 0\n\r",
                                                 before));
    // Nothing copied: nothing to tell Wings.
    EXPECT_FALSE(IsVisible(page, IDC_RED_NEXT));

    // Chosen, the file already in its place is left as it is.
    Search(page, {[&](HWND d) {
                      const std::vector<Shown> shown = Read(d);
                      ASSERT_EQ(2u, shown[0].candidates.size());
                      Toggle(d, 0, shown[0].candidates[0].rfind(target, 0) == 0 ? 0 : 1);
                  },
                  [&](HWND d) { ClickDialogButton(d, IDC_FM_COPY); }, Close()});
    EXPECT_TRUE(StateOf(target) == inShow);
    ASSERT_EQ(3u, m_boxes.Boxes().size());
    EXPECT_EQ("Er is geen bestand naar de show gekopieerd.\n\n1 bestand stond al in een submap van de show.",
              m_boxes.Boxes()[2].text);
    EXPECT_TRUE(IsVisible(page, IDC_RED_NEXT));
}

TEST_F(FindMissing, ATargetPathTooLongAndAShowAreNeverCopied) {
    // A show folder of 236 characters: its subfolders can be made, but a
    // file of this name would get a path of 263 characters in Audio.
    const std::string showDir = Root() + "\\" + std::string(236 - Root().size() - 2, 'S') + "\\";
    ASSERT_EQ(236u, showDir.size());
    const std::string onE = Root('E') + "\\zk_lange_doelnaam.wav";
    const std::string showOnE = Root('E') + "\\zk_andere_show.ws4";
    MakeTestFile(onE, TestBytes(70, 7));
    MakeTestFile(showOnE, TestBytes(80, 8));
    const FileState keptSound = StateOf(onE), keptShow = StateOf(showOnE);
    UseShow(showDir + "show.ws4");
    MakeTestFile(g_csRecentFile, "WS4");
    AddRedRecord(showDir + "Oud\\zk_lange_doelnaam.wav");
    AddRedRecord(showDir + "zk_andere_show.ws4");
    HWND page = ShowPage(3);

    Search(page, {[&](HWND d) { ClickDialogButton(d, IDC_FM_COPY); }, Close()});

    const std::string target = showDir + "Audio\\zk_lange_doelnaam.wav";
    ASSERT_EQ(3u, m_boxes.Boxes().size());
    EXPECT_EQ("Het pad van het doelbestand is langer dan 259 tekens. Dit bestand wordt niet gekopieerd:\n" + target,
              m_boxes.Boxes()[0].text);
    EXPECT_EQ("Zekerpad kopieert geen show (.ws4). Dit bestand wordt niet gekopieerd:\n" + showOnE,
              m_boxes.Boxes()[1].text);
    EXPECT_EQ("Er is geen bestand naar de show gekopieerd.\n\n2 bestanden zijn niet gekopieerd. De reden staat in de "
              "meldingen en in het logboek C:\\Zekerpad.log.",
              m_boxes.Boxes()[2].text);
    EXPECT_NE(std::string::npos, LogSoFar().find("-> doel - " + target + "\n\r-> stop - pad te lang\n\r"));
    EXPECT_NE(std::string::npos,
              LogSoFar().find("-> bron - " + showOnE + "\n\r-> stop - show wordt niet gekopieerd\n\r"));
    WIN32_FIND_DATAA fd;
    EXPECT_FALSE(UniqueFind(::FindFirstFileA((showDir + "Audio\\*.wav").c_str(), &fd)));
    EXPECT_TRUE(StateOf(onE) == keptSound);
    EXPECT_TRUE(StateOf(showOnE) == keptShow);
}

TEST_F(FindMissing, AFileInAFolderWhosePathIsTooLongIsSkippedNotCut) {
    MakeFolderTree(Root('D'));
    // A folder of 250 characters can be listed; its file's path cannot be used.
    const std::string padding(250 - Root('D').size() - 1, 'L');
    const std::string deepRelative = padding;
    const std::string farFile = Root('D') + "\\" + padding + "\\zk_te_lang.wav";
    ASSERT_EQ(265u, farFile.size());
    // Windows' own calls cannot make it, nor remove it; the Linux side can.
    struct RemovedAtEnd {
        std::string unixFolder;
        ~RemovedAtEnd() { RunUnixShell("rm -rf '" + unixFolder + "'"); }
    } removed{UnixPathOf(Root('D')) + "/" + padding};
    const std::string unixFile = UnixPathOf(Root('D')) + "/" + deepRelative + "/zk_te_lang.wav";
    ASSERT_EQ(0, RunUnixShell("mkdir -p '" + UnixPathOf(Root('D')) + "/" + deepRelative + "' && printf lang > '" +
                              unixFile + "'"));
    HWND page = RedPage({Show() + "Audio\\zk_te_lang.wav"});
    const size_t before = LogSoFar().size();

    Search(page, {[&](HWND d) {
                      EXPECT_EQ("Niet gevonden:  " + Show() + "Audio\\zk_te_lang.wav", Read(d)[0].group);
                      EXPECT_NE(std::string::npos,
                                ItemText(d, IDC_FM_STATUS)
                                    .find(" 1 bestand met een pad van meer dan 259 tekens is overgeslagen."));
                  },
                  Close()});
    EXPECT_NE(std::string::npos, LogSoFar().find("-> overgeslagen, pad te lang - " + farFile + "\n\r", before));
    EXPECT_EQ(0, RunUnixShell("grep -qx lang '" + unixFile + "'"));
}

// Enter pressed as the walk of the drives begins, and again on its results:
// the dialog has no default button, and neither closes it.
TEST_F(FindMissing, EnterNeitherEndsTheSearchNorThrowsAwayItsResults) {
    const std::string onE = Root('E') + "\\zk_enter_vondst.wav";
    MakeTestFile(onE, TestBytes(70, 4));
    HWND page = RedPage({Show() + "Audio\\zk_enter_vondst.wav"});
    KeyAtDialogStart enter(kCaption, IDC_FM_TREE, VK_RETURN);
    bool stillOpen = false;
    Search(page, {[&](HWND d) {
                      EXPECT_EQ(0u, ItemText(d, IDC_FM_STATUS).find("Klaar: "));
                      ::SetFocus(::GetDlgItem(d, IDC_FM_TREE));
                      ::PostMessageA(::GetDlgItem(d, IDC_FM_TREE), WM_KEYDOWN, VK_RETURN, 1);
                  },
                  [&](HWND d) {
                      stillOpen = true;
                      EXPECT_EQ(1u, Read(d).at(0).candidates.size());
                      ClickDialogButton(d, IDCANCEL);
                  }});
    EXPECT_TRUE(enter.Posted());
    EXPECT_TRUE(stillOpen);
}

TEST_F(FindMissing, StopKeepsWhatWasFound) {
    // The search is held at its second folder and stopped there: the file
    // in the first is kept, those in the folders below were never listed.
    const std::string early = Root() + "\\Zoek\\zk_stop_vondst.wav";
    MakeTestFile(early, TestBytes(50, 6));
    MakeTestFile(Root() + "\\Zoek\\A\\zk_stop_vondst.wav", TestBytes(60, 7));
    MakeTestFile(Root() + "\\Zoek\\B\\zk_stop_vondst.wav", TestBytes(70, 8));
    const FileState kept = StateOf(early);
    HWND page = RedPage({Show() + "Audio\\zk_stop_vondst.wav"});
    const size_t before = LogSoFar().size();

    ScopedSearchRoots roots({Root() + "\\Zoek"});
    std::string statusAtStop;
    LongWorkSteps steps([&](CLongWork&, int step) {
        if (step == 2) ClickDialogButton(FindThreadWindow(kCaption), IDC_FM_STOP);
        return false;
    });
    std::vector<Shown> shown;
    std::string status;
    ModalDriver driver(kCaption,
                       {[&](HWND d) {
                           shown = Read(d);
                           status = ItemText(d, IDC_FM_STATUS);
                           ClickDialogButton(d, IDCANCEL);
                       }},
                       &SearchEnded);
    ClickButton(page, IDC_FIND_MISSING);
    ASSERT_TRUE(driver.Done());
    ASSERT_EQ(1u, shown.size());
    ASSERT_EQ(1u, shown[0].candidates.size());
    EXPECT_EQ(0u, shown[0].candidates[0].find(early + "   (50 bytes, "));
    EXPECT_EQ(0u, status.find("Het zoeken is gestopt na ")) << status;
    EXPECT_NE(std::string::npos, LogSoFar().find("Zoeken gestopt\n\r-> rood - " + Show() +
                                                 "Audio\\zk_stop_vondst.wav\n\r-> gevonden - " + early + "\n\r",
                                                 before));
    EXPECT_TRUE(StateOf(early) == kept);
}

TEST_F(FindMissing, StopDuringACopyLeavesNoPartOfIt) {
    const std::string onE = Root('E') + "\\zk_groot.wav";
    MakeTestFile(onE, TestBytes(1200000, 9));
    const FileState kept = StateOf(onE);
    HWND page = RedPage({Show() + "Oud\\zk_groot.wav"});
    const std::string target = Show() + "Audio\\zk_groot.wav";

    // Stoppen is clicked at the first step that finds part of the copy
    // written (under its temporary name): the copy is then under way.
    bool stoppedDuringCopy = false;
    const auto partWritten = [&] {
        WIN32_FIND_DATAA found{};
        UniqueFind part(::FindFirstFileA((Show() + "Audio\\~zk*.tmp").c_str(), &found));
        return static_cast<bool>(part);
    };
    LongWorkSteps steps([&](CLongWork&, int) {
        if (!stoppedDuringCopy && partWritten()) {
            stoppedDuringCopy = true;
            ClickDialogButton(FindThreadWindow(kCaption), IDC_FM_STOP);
        }
        return false;
    });
    Search(page, {[&](HWND d) { ClickDialogButton(d, IDC_FM_COPY); }, Close()});

    EXPECT_TRUE(stoppedDuringCopy);
    EXPECT_FALSE(PathIsFile(target));
    EXPECT_FALSE(partWritten());
    EXPECT_TRUE(StateOf(onE) == kept);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ("Er is geen bestand naar de show gekopieerd.\n\nU heeft het kopiëren gestopt; de overige bestanden zijn "
              "niet gekopieerd.",
              m_boxes.Boxes()[0].text);
    EXPECT_NE(std::string::npos,
              LogSoFar().find("-> doel - " + target + "\n\r-> stop - kopi\xEBren gestopt\n\r-> gekopieerd - 0\n\r"));
    EXPECT_FALSE(IsVisible(page, IDC_RED_NEXT));
}

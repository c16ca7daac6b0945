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

// A found file as it was before the search: it must stay exactly so.
struct Untouched {
    std::string path, bytes;
    FILETIME written{};
};

Untouched Remember(const std::string& path) {
    Untouched u{path, ReadWholeFile(path), {}};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
    u.written = data.ftLastWriteTime;
    return u;
}

void ExpectUntouched(const Untouched& u) {
    EXPECT_EQ(u.bytes, ReadWholeFile(u.path)) << u.path;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExA(u.path.c_str(), GetFileExInfoStandard, &data)) << u.path;
    EXPECT_EQ(0, ::CompareFileTime(&u.written, &data.ftLastWriteTime)) << u.path;
}

bool IsChecked(HWND tree, HTREEITEM item) {
    return (::SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK) >> 12) == 2;
}

// Drives the dialog from inside its own message loop: once the search has
// ended, each tick runs the next step; the last step must close it.
class DialogSteps {
public:
    using Step = std::function<void(HWND dialog)>;
    explicit DialogSteps(std::deque<Step> steps, bool duringSearch = false)
        : m_steps(std::move(steps)), m_bDuringSearch(duringSearch) {
        s_self = this;
        m_timer = ::SetTimer(nullptr, 0, 20, &DialogSteps::Tick);
    }
    ~DialogSteps() {
        ::KillTimer(nullptr, m_timer);
        s_self = nullptr;
    }
    bool Done() const { return m_steps.empty(); }
    // Called by a step whose moment has not come: it runs again next tick.
    static void Again() { s_bAgain = true; }

private:
    static bool SearchEnded(HWND dialog) {
        const std::string status = ItemText(dialog, IDC_FM_STATUS);
        return !IsEnabled(dialog, IDC_FM_STOP) && status.rfind("Zoeken", 0) != 0;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogSteps* self = s_self;
        if (!self || self->m_bBusy) return;
        HWND dialog = ::FindWindowA("#32770", kCaption);
        if (!dialog || !::IsWindowVisible(dialog)) return;
        if (self->m_steps.empty()) {
            // A step that failed before closing: close, or the test hangs.
            if (SearchEnded(dialog)) ClickDialogButton(dialog, IDCANCEL);
            return;
        }
        if (!self->m_bDuringSearch && !SearchEnded(dialog)) return;
        self->m_bBusy = true;
        Step step = std::move(self->m_steps.front());
        self->m_steps.pop_front();
        s_bAgain = false;
        step(dialog);
        if (s_bAgain) self->m_steps.push_front(std::move(step));
        self->m_bBusy = false;
    }
    static inline DialogSteps* s_self = nullptr;
    static inline bool s_bAgain = false;
    std::deque<Step> m_steps;
    bool m_bDuringSearch;
    bool m_bBusy = false;
    UINT_PTR m_timer = 0;
};

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

    // Opens the dialog from the page and runs the steps in it.
    void Search(HWND page, std::deque<DialogSteps::Step> steps, bool duringSearch = false) {
        DialogSteps driver(std::move(steps), duringSearch);
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
    // A picture for people to look at (build/screenshots/pages).
    static void Shot(HWND wnd, const std::string& name) {
        const std::string folder = ScreenshotFolder() + "\\pages";
        ::CreateDirectoryA(folder.c_str(), nullptr);
        ::RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        EXPECT_TRUE(SaveScreenshot(wnd, folder + "\\" + name + ".bmp"));
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
    static DialogSteps::Step Close() {
        return [](HWND d) { ClickDialogButton(d, IDCANCEL); };
    }
};
}  // namespace

TEST_F(FindMissing, OneCandidateOnTheRemovableDriveIsCopiedAndTheShowComesOutGreen) {
    const std::string lost = Root() + "\\Oud\\zk_een_vondst.wav";
    const std::string stick = Root('E') + "\\Stick\\zk_een_vondst.WAV";
    MakeTestFile(stick, TestBytes(1234, 1));
    const Untouched found = Remember(stick);
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
                      EXPECT_EQ(0u, shown[0].candidates[0].find(stick + "   (1.234 bytes, "));
                      EXPECT_TRUE(shown[0].checked[0]);
                      EXPECT_EQ(0u, ItemText(d, IDC_FM_STATUS).find("Klaar: "));
                      ClickDialogButton(d, IDC_FM_COPY);
                      EXPECT_FALSE(IsEnabled(d, IDC_FM_COPY));
                  },
                  Close()});

    const std::string copy = Show() + "Audio\\zk_een_vondst.wav";
    EXPECT_EQ(found.bytes, ReadWholeFile(copy));
    ExpectUntouched(found);
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
    EXPECT_NE(std::string::npos, ItemText(page, IDC_RED_NEXT).find("laat Wings zoeken op schijf C:, bewaar de show en "));
    Shot(m_wizard->Sheet(), "3-rood-na-zoeken");
    ClickButton(page, 1007);
    ClickButton(page, 1009);
    ASSERT_EQ(2, m_wizard->CurrentIndex());
    EXPECT_EQ(0, g_nRed);
    EXPECT_EQ(1, g_nGreen);
}

TEST_F(FindMissing, SeveralCandidatesWaitForTheUsersChoiceAndNoneSaysNietGevonden) {
    const std::string twee = Show() + "Audio\\zk_twee_vondst.wav";
    const std::string geen = Show() + "Plaatjes\\zk_geen_vondst.jpg";
    const std::string onD = Root('D') + "\\Oud\\zk_twee_vondst.wav";
    const std::string onE = Root('E') + "\\zk_Twee_Vondst.wav";
    MakeTestFile(onD, TestBytes(300, 2));
    MakeTestFile(onE, TestBytes(500, 3));
    const Untouched keptD = Remember(onD), keptE = Remember(onE);
    HWND page = RedPage({twee, geen});
    const size_t before = LogSoFar().size();

    Search(page, {[&](HWND d) {
                      const std::vector<Shown> shown = Read(d);
                      ASSERT_EQ(2u, shown.size());
                      EXPECT_EQ("Kies een bestand:  " + twee, shown[0].group);
                      ASSERT_EQ(2u, shown[0].candidates.size());
                      EXPECT_EQ((std::vector<bool>{false, false}), shown[0].checked);
                      EXPECT_EQ("Niet gevonden:  " + geen, shown[1].group);
                      EXPECT_TRUE(shown[1].candidates.empty());
                      EXPECT_FALSE(IsEnabled(d, IDC_FM_COPY));
                      Shot(d, "zoeken-keuze");
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
                  },
                  [&](HWND d) {
                      ClickDialogButton(d, IDC_FM_COPY);
                      ClickDialogButton(d, IDCANCEL);
                  }});

    // The second of the two in the list: which one depends on the walk.
    const std::string log = LogSoFar().substr(before);
    const size_t bron = log.find("-> bron - ");
    ASSERT_NE(std::string::npos, bron);
    const std::string chosen = log.substr(bron + 10, log.find("\n\r", bron) - bron - 10);
    EXPECT_TRUE(chosen == onD || chosen == onE) << chosen;
    EXPECT_EQ(ReadWholeFile(chosen), ReadWholeFile(twee));
    EXPECT_NE(std::string::npos, log.find("-> rood - " + geen + "\n\r->   - niet gevonden\n\r"));
    EXPECT_FALSE(PathIsFile(geen));
    ExpectUntouched(keptD);
    ExpectUntouched(keptE);
}

TEST_F(FindMissing, AnExistingTargetIsRefusedAndOneAlreadyInPlaceIsLeft) {
    // The show's own Audio folder holds a different file of that name: the
    // search finds it too, and the user picks the one on E:.
    const std::string target = Show() + "Audio\\zk_bestaat.wav";
    const std::string onE = Root('E') + "\\zk_bestaat.wav";
    MakeTestFile(target, TestBytes(100, 4));
    MakeTestFile(onE, TestBytes(200, 5));
    const Untouched inShow = Remember(target), keptE = Remember(onE);
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

    ExpectUntouched(inShow);
    ExpectUntouched(keptE);
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ("Het volgende bestand bestaat al:\n" + target, m_boxes.Boxes()[0].text);
    EXPECT_EQ(unsigned(MB_OK | MB_ICONEXCLAMATION), m_boxes.Boxes()[0].type);
    EXPECT_EQ("Er is geen bestand naar de show gekopieerd.\n\n1 bestand is niet gekopieerd. De reden staat in de "
              "meldingen en in het logboek c:\\Zekerpad.log.",
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
    ExpectUntouched(inShow);
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
    const Untouched keptSound = Remember(onE), keptShow = Remember(showOnE);
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
              "meldingen en in het logboek c:\\Zekerpad.log.",
              m_boxes.Boxes()[2].text);
    EXPECT_NE(std::string::npos, LogSoFar().find("-> doel - " + target + "\n\r-> stop - pad te lang\n\r"));
    EXPECT_NE(std::string::npos,
              LogSoFar().find("-> bron - " + showOnE + "\n\r-> stop - show wordt niet gekopieerd\n\r"));
    WIN32_FIND_DATAA fd;
    EXPECT_FALSE(UniqueFind(::FindFirstFileA((showDir + "Audio\\*.wav").c_str(), &fd)));
    ExpectUntouched(keptSound);
    ExpectUntouched(keptShow);
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
    // In the first drive's root, so it is listed before any folder below.
    const std::string early = "C:\\zk_stop_vondst.wav";
    MakeTestFile(early, TestBytes(50, 6));
    // Enough folders that the walk of C: lasts a while.
    MakeFolderTree(Root() + "\\Stapel");
    for (int i = 0; i < 1500; ++i)
        ::CreateDirectoryA((Root() + "\\Stapel\\map" + std::to_string(i)).c_str(), nullptr);
    m_cleanup.push_back(early);
    const Untouched kept = Remember(early);
    HWND page = RedPage({Show() + "Audio\\zk_stop_vondst.wav"});
    const size_t before = LogSoFar().size();

    const DWORD deadline = ::GetTickCount() + 30000;
    bool stopped = false;
    Search(page,
           {[&](HWND d) {
                // Under way below C:\ once the status names a folder deeper
                // than the root: then stop.
                const std::string status = ItemText(d, IDC_FM_STATUS);
                if (!(status.rfind("Zoeken in C:\\", 0) == 0 && status.size() > 13)) {
                    if (IsEnabled(d, IDC_FM_STOP) && ::GetTickCount() < deadline) DialogSteps::Again();
                    return;
                }
                ClickDialogButton(d, IDC_FM_STOP);
                stopped = true;
            },
            [&](HWND d) {
                if (IsEnabled(d, IDC_FM_STOP) || ItemText(d, IDC_FM_STATUS).rfind("Zoeken", 0) == 0) {
                    DialogSteps::Again();
                    return;
                }
                const std::vector<Shown> shown = Read(d);
                EXPECT_EQ(1u, shown[0].candidates.size());
                if (!shown[0].candidates.empty()) {
                    EXPECT_EQ(0u, shown[0].candidates[0].find(early + "   (50 bytes, "));
                }
                EXPECT_EQ(0u, ItemText(d, IDC_FM_STATUS).find("Het zoeken is gestopt na "));
                ClickDialogButton(d, IDCANCEL);
            }},
           true);
    ASSERT_TRUE(stopped) << "the search ended before it could be stopped";
    EXPECT_NE(std::string::npos, LogSoFar().find("Zoeken gestopt\n\r-> rood - " + Show() +
                                                 "Audio\\zk_stop_vondst.wav\n\r-> gevonden - " + early + "\n\r",
                                                 before));
    ExpectUntouched(kept);
}

TEST_F(FindMissing, StopDuringACopyLeavesNoPartOfIt) {
    const std::string onE = Root('E') + "\\zk_groot.wav";
    MakeTestFile(onE, TestBytes(30 * 1000 * 1000, 9));
    const Untouched kept = Remember(onE);
    HWND page = RedPage({Show() + "Oud\\zk_groot.wav"});

    Search(page, {[&](HWND d) {
                      if (ItemText(d, IDC_FM_STATUS).rfind("Klaar", 0) != 0) {
                          DialogSteps::Again();
                          return;
                      }
                      // Both posted: the copy starts, and its first step
                      // already finds the stop waiting.
                      ::PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_FM_COPY, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(::GetDlgItem(d, IDC_FM_COPY)));
                      ::PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_FM_STOP, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(::GetDlgItem(d, IDC_FM_STOP)));
                  },
                  [&](HWND d) {
                      if (IsEnabled(d, IDC_FM_STOP)) {
                          DialogSteps::Again();
                          return;
                      }
                      ClickDialogButton(d, IDCANCEL);
                  }},
           true);

    EXPECT_FALSE(PathIsFile(Show() + "Audio\\zk_groot.wav"));
    ExpectUntouched(kept);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ("Er is geen bestand naar de show gekopieerd.\n\nU heeft het kopiëren gestopt; de overige bestanden zijn "
              "niet gekopieerd.",
              m_boxes.Boxes()[0].text);
    EXPECT_NE(std::string::npos, LogSoFar().find("-> stop - kopi\xEBren gestopt\n\r-> gekopieerd - 0\n\r"));
    EXPECT_FALSE(IsVisible(page, IDC_RED_NEXT));
}

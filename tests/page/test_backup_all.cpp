// "Back-up van alle groene shows": only shows with green light are backed
// up, each into its own folder as the closing page's back-up makes it,
// one progress over all, a line per show, and a stop that leaves the
// shows done complete and the rest not started.
#include <vector>

#include "backup/backup_all_dialog.h"
#include "backup/backup_run.h"
#include "backup/destination_memo.h"
#include "page/repair_fixture.h"
#include "resource.h"
#include "services/run_log.h"
#include "services/state.h"
#include "wizard/long_work.h"

namespace {
constexpr uint64_t kPlenty = 1000000000;

std::vector<std::string> Column(HWND dlg, int column) {
    HWND list = ::GetDlgItem(dlg, IDC_BA_LIST);
    std::vector<std::string> texts;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char buf[512] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        ::SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        texts.push_back(buf);
    }
    return texts;
}

class BackupAll : public RepairPageTest {
protected:
    void SetUp() override {
        RepairPageTest::SetUp();
        DeleteTree(Root('E'));
        m_cleanup.push_back(Root('E'));
        g_csBackupMap.clear();
        ASSERT_TRUE(MakeFolderTree(Dest()));
    }
    void TearDown() override {
        g_csBackupMap.clear();
        RepairPageTest::TearDown();
    }
    std::string Dest() const { return Root('E') + "\\Back-ups"; }
    // A show "<C root>\<parent>\Demo\demo.ws4" with a sound of its own.
    BackupAllShow MakeShow(const std::string& parent, Verdict verdict, int seed, const std::string& words = "") {
        const std::string folder = Root('C') + "\\" + parent + "\\Demo\\";
        MakeTestFile(folder + "demo.ws4", TestBytes(300, seed));
        MakeTestFile(folder + "Audio\\intro.wav", TestBytes(300000, seed + 1));
        return {folder + "demo.ws4", verdict, words};
    }
    // Runs the dialog: types the destination, presses Starten, keeps what
    // it shows and closes it.
    void Run(std::vector<BackupAllShow> shows, std::vector<std::string>& lines, std::string& summary) {
        ModalDriver dialog("Zekerpad - Back-up van alle groene shows",
                           {[&](HWND dlg) {
                                ::SetDlgItemTextA(dlg, IDC_BA_DEST, Dest().c_str());
                                SaveShot(dlg, ShotFolder("alle-shows") + "back-up-vooraf");
                                ClickDialogButton(dlg, IDC_BA_START);
                                lines = Column(dlg, 1);
                                summary = ItemText(dlg, IDC_BA_SUMMARY);
                                SaveShot(dlg, ShotFolder("alle-shows") + "back-up-klaar");
                                ClickDialogButton(dlg, IDCANCEL);
                            }});
        CBackupAllDialog backup(std::move(shows));
        backup.DoModal(nullptr);
        EXPECT_TRUE(dialog.Done());
        m_lines = backup.Lines();
    }
    std::vector<BackupAllLine> m_lines;
};
}  // namespace

// Green, red and yellow shows, two of them in folders named Demo: only the
// green ones are copied, into Demo and Demo (2), the others named.
TEST_F(BackupAll, OnlyTheGreenShowsAreCopiedEachIntoItsOwnFolder) {
    FreeSpaceStub space(kPlenty);
    std::vector<std::string> lines;
    std::string summary;
    Run({MakeShow("Voorjaar", Verdict::Green, 10), MakeShow("Rood", Verdict::Red, 20, "geen groen licht: rode bestanden"),
         MakeShow("Zomer", Verdict::Green, 30), MakeShow("Geel", Verdict::Yellow, 40, "geen groen licht: gele bestanden")},
        lines, summary);
    EXPECT_EQ((std::vector<std::string>{
                  "volledig",
                  "overgeslagen: geen groen licht: rode bestanden",
                  "volledig",
                  "overgeslagen: geen groen licht: gele bestanden"}),
              lines);
    EXPECT_EQ("2 van de 2 back-ups zijn volledig. 2 shows zijn overgeslagen zonder groen licht: open ze in de wizard "
              "en volg de pagina's tot groen licht.",
              summary);
    EXPECT_EQ(TestBytes(300000, 11), ReadWholeFile(Dest() + "\\Demo\\Audio\\intro.wav"));
    EXPECT_EQ(TestBytes(300000, 31), ReadWholeFile(Dest() + "\\Demo (2)\\Audio\\intro.wav"));
    EXPECT_NE(std::string::npos, ReadWholeFile(Dest() + "\\Demo (2) - Zekerpad-back-up.txt").find("\\Zomer\\Demo\\"));
    EXPECT_FALSE(PathIsFolder(Dest() + "\\Demo (3)"));
    EXPECT_EQ(Dest(), g_csBackupMap);
    const std::string log = LogSoFar();
    EXPECT_NE(std::string::npos, log.find("Start back-up alle shows\n\r-> doel - " + Dest() + "\n\r"));
    EXPECT_NE(std::string::npos, log.find("-> volledig - " + Root('C') + "\\Zomer\\Demo\\demo.ws4\n\rEinde back-up "
                                          "alle shows\n\r"));
}

// The shows' entries reach the log together, a quarter second at a time;
// a show refused half way (its folder gone since the check) still has its
// refusal after the entries of the show before it and its own start.
TEST_F(BackupAll, AShowRefusedInARunOfManyIsLoggedInItsPlace) {
    FreeSpaceStub space(kPlenty);
    const BackupAllShow een = MakeShow("Een", Verdict::Green, 10), twee = MakeShow("Twee", Verdict::Green, 20);
    DeleteTree(Root('C') + "\\Twee");
    ASSERT_FALSE(PathIsFolder(Root('C') + "\\Twee"));
    std::vector<std::string> lines;
    std::string summary;
    Run({een, twee}, lines, summary);
    EXPECT_EQ((std::vector<std::string>{"volledig", "niet gemaakt: de doelmap is geweigerd (zie het logboek)"}), lines);
    const std::string log = LogSoFar();
    const size_t first = log.find("-> volledig - " + een.show + "\n\r");
    const size_t start = log.find("Start back-up\n\r-> bron - " + Root('C') + "\\Twee\\Demo", first);
    const size_t refused = log.find("-> geweigerd - show niet leesbaar\n\rEinde back-up\n\r-> niet volledig - " +
                                    twee.show + "\n\rEinde back-up alle shows\n\r",
                                    start);
    EXPECT_NE(std::string::npos, first);
    EXPECT_NE(std::string::npos, start);
    EXPECT_NE(std::string::npos, refused);
}

// A show's batch flushed before a message (a file that failed) writes the
// run's waiting entries first: the log on the disk is whole and in order
// while the message is up.
TEST_F(BackupAll, AFlushWithinAShowWritesTheRunsWaitingEntriesFirst) {
    const std::string before = LogSoFar();
    {
        CLogBatch run;
        run.Value("volledig", "Een");
        {
            CLogBatch show;
            show.Line("Start back-up");
            show.Value("fout", "in gebruik");
            show.Flush();
            EXPECT_EQ(before + "-> volledig - Een\n\rStart back-up\n\r-> fout - in gebruik\n\r", LogSoFar());
            show.Line("Einde back-up");
        }
        EXPECT_EQ(before + "-> volledig - Een\n\rStart back-up\n\r-> fout - in gebruik\n\r", LogSoFar());
    }
    EXPECT_EQ(before + "-> volledig - Een\n\rStart back-up\n\r-> fout - in gebruik\n\rEinde back-up\n\r",
              LogSoFar());
}

// Stoppen while the second show is copied: the first is complete, the
// second not, the third never started.
TEST_F(BackupAll, StoppenHalfWayLeavesTheShowsDoneCompleteAndTheRestNotStarted) {
    FreeSpaceStub space(kPlenty);
    std::vector<BackupAllShow> shows = {MakeShow("Een", Verdict::Green, 10), MakeShow("Twee", Verdict::Green, 20),
                                        MakeShow("Drie", Verdict::Green, 30)};
    LongWorkSteps steps([&](CLongWork& work, int) {
        HWND dlg = FindThreadWindow("Zekerpad - Back-up van alle groene shows");
        if (dlg && ItemText(dlg, IDC_BA_FILE).find("\\Twee\\Demo\\demo.ws4: Audio") != std::string::npos)
            work.RequestStop();
        return false;
    });
    std::vector<std::string> lines;
    std::string summary;
    Run(shows, lines, summary);
    EXPECT_EQ((std::vector<std::string>{"volledig", "niet volledig: gestopt", "niet begonnen: de back-up is gestopt"}),
              lines);
    EXPECT_EQ("1 van de 3 back-ups is volledig, 1 niet, 1 niet begonnen. Maak de back-up opnieuw voor de shows die "
              "niet volledig zijn.",
              summary);
    EXPECT_FALSE(PathIsFolder(Dest() + "\\Demo (3)"));
    EXPECT_NE(std::string::npos, ReadWholeFile(Dest() + "\\Demo (2) - Zekerpad-back-up.txt").find("gestopt"));
}

// The space check covers the whole run before anything is copied, and
// names the shows that would fit.
TEST_F(BackupAll, TooLittleRoomForAllCopiesNothingAndNamesWhatFits) {
    FreeSpaceStub space(700000);
    std::vector<std::string> lines;
    std::string summary;
    Run({MakeShow("Een", Verdict::Green, 10), MakeShow("Twee", Verdict::Green, 20), MakeShow("Drie", Verdict::Green, 30)},
        lines, summary);
    EXPECT_EQ((std::vector<std::string>{"wacht", "wacht", "wacht"}), lines);
    EXPECT_FALSE(PathIsFolder(Dest() + "\\Demo"));
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ("Op de doelschijf is te weinig ruimte voor de back-up van alle groene shows.\nNodig: 880 kB. Vrij: 684 "
              "kB.\n\nDeze shows passen er samen wel op:\n" +
                  Root('C') + "\\Een\\Demo\\demo.ws4 (293 kB)\n" + Root('C') +
                  "\\Twee\\Demo\\demo.ws4 (293 kB)\n\nKies een doelmap op een grotere schijf, of maak de back-ups "
                  "van de shows een voor een.",
              m_boxes.Boxes()[0].text);
}

// Within one run over many shows the destination's free space is taken
// over only by a show that writes nothing: a show with files to copy, and
// the whole one after it, ask again and are refused on a full disk.
TEST_F(BackupAll, AShowWithFilesToCopyAsksForTheFreeSpaceAgainInARunOfMany) {
    MakeShow("Voorjaar", Verdict::Green, 10);
    MakeShow("Zomer", Verdict::Green, 30);
    const std::string voorjaar = Root('C') + "\\Voorjaar\\Demo\\", zomer = Root('C') + "\\Zomer\\Demo\\";
    BackupOutcome outcome;
    {
        FreeSpaceStub space(kPlenty);
        ASSERT_EQ(BackupResult::Ran, MakeBackup(voorjaar, Dest(), nullptr, nullptr, &outcome));
        ASSERT_EQ(2, outcome.copied);
    }
    backup::CDestinationMemo memo(Dest());
    {
        FreeSpaceStub space(kPlenty);
        EXPECT_EQ(BackupResult::Ran, MakeBackup(voorjaar, Dest(), nullptr, nullptr, &outcome));
        EXPECT_EQ(2, outcome.unchanged);
        EXPECT_EQ(std::vector<std::string>{Dest()}, space.Asked());
    }
    FreeSpaceStub full(1000);
    EXPECT_EQ(BackupResult::Refused, MakeBackup(zomer, Dest(), nullptr, nullptr, &outcome));
    ASSERT_FALSE(m_boxes.Boxes().empty());
    EXPECT_EQ(0u, m_boxes.Boxes().back().text.find("Er is onvoldoende vrije ruimte op de doelschijf.\n\nNodig: "));
    EXPECT_FALSE(PathIsFolder(Dest() + "\\Demo (2)"));
    EXPECT_EQ(BackupResult::Refused, MakeBackup(voorjaar, Dest(), nullptr, nullptr, &outcome));
    EXPECT_EQ((std::vector<std::string>{Dest(), Dest()}), full.Asked());
    EXPECT_NE(std::string::npos, LogSoFar().find("-> geweigerd - onvoldoende ruimte\n\rEinde back-up\n\r"));
}

// A log-off in the middle of a back-up, driven through the back-up's dialog
// as a user starts it: Windows' question is answered at once, the work
// waits for the outcome (answering meanwhile), a cancelled log-off lets it
// go on, and an ended session stops it without a partial file.
#include <atomic>
#include <thread>

#include "services/state.h"
#include "page/repair_fixture.h"
#include "resource.h"

namespace {
std::atomic<int> s_sessionEnds{0};
void CountSessionEnd() { ++s_sessionEnds; }

// What the system sends for one log-off, from its own thread.
struct LogOff {
    std::atomic<int> phase{0};  // 1 asked, 2 answered meanwhile, 3 outcome told
    std::atomic<bool> agreed{false};
    std::atomic<int> answeredMeanwhile{0};
    std::thread thread;
    void Start(HWND root, bool ends) {
        thread = std::thread([this, root, ends] {
            DWORD_PTR answer = 0;
            agreed = ::SendMessageTimeoutA(root, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer) &&
                     answer == TRUE;
            phase = 1;
            for (int i = 0; i < 3; ++i)
                if (::SendMessageTimeoutA(root, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &answer)) ++answeredMeanwhile;
            phase = 2;
            ::SendMessageTimeoutA(root, WM_ENDSESSION, ends, ENDSESSION_LOGOFF, SMTO_NORMAL, 5000, &answer);
            phase = 3;
        });
    }
    ~LogOff() {
        if (thread.joinable()) thread.join();
    }
};

class BackupLogOff : public RepairPageTest {};

TEST_F(BackupLogOff, TheWorkWaitsForTheAnswerGoesOnAfterACancelAndStopsCleanlyWhenTheSessionEnds) {
    const std::string show = Root('C') + "\\Demo\\";
    MakeTestFile(show + "demo.ws4", TestBytes(300, 1));
    MakeTestFile(show + "Audio\\intro.wav", TestBytes(5000000, 2));  // several chunks
    MakeTestFile(show + "Plaatjes\\titel.jpg", TestBytes(40000, 3));
    const std::string dest = Root('E') + "\\Back-ups";
    m_cleanup.push_back(Root('E'));
    ASSERT_TRUE(MakeFolderTree(dest));
    UseShow(show + "demo.ws4");
    g_nGreen = 2;
    HWND page = ShowPage(7);
    FreeSpaceStub space(1000000000);
    s_sessionEnds = 0;
    ScopedSeam<SessionEndFn> sessionEnd(g_pfnSessionEnd, &CountSessionEnd);

    LogOff cancelled, ended;
    int cancelledAt = 0, stepsWhileAsked = 0;
    const DWORD deadline = ::GetTickCount() + 30000;
    LongWorkSteps steps([&](CLongWork& work, int step) {
        if (::GetTickCount() > deadline) return false;
        // Windows asks every top-level window; the one at work is the dialog.
        const HWND root = FindThreadWindow("Zekerpad - Back-up maken");
        if (cancelled.phase == 1 || cancelled.phase == 2) ++stepsWhileAsked;
        if (step == 2 && cancelledAt == 0) {
            cancelledAt = step;
            cancelled.Start(root, FALSE);
        }
        if (step == cancelledAt) return cancelled.phase < 3;  // held until the log-off is called off
        if (step == cancelledAt + 2 && !ended.thread.joinable()) ended.Start(root, TRUE);
        return ended.thread.joinable() && !work.StopRequested();
    });
    ModalDriver dialog("Zekerpad - Back-up maken",
                       {[&](HWND dlg) { ::SetDlgItemTextA(dlg, IDC_BACKUP_DEST, dest.c_str()); },
                        [&](HWND dlg) {
                            ClickDialogButton(dlg, IDC_BACKUP_START);
                            ClickDialogButton(dlg, IDCANCEL);
                        }});
    ClickButton(page, IDC_BACKUP);
    ASSERT_TRUE(dialog.Done());

    EXPECT_TRUE(cancelled.agreed);
    EXPECT_EQ(3, cancelled.answeredMeanwhile.load());
    EXPECT_EQ(0, stepsWhileAsked);  // no step of the copy until Windows told the outcome
    EXPECT_TRUE(ended.agreed);
    EXPECT_EQ(1, s_sessionEnds.load());
    // Whatever lies in the destination is a whole copy of the show's file
    // of that name, or the back-up's record: no part of a file under any name.
    int copies = 0;
    for (const auto& [path, state] : SnapshotOf(dest)) {
        if (path.size() >= 20 && path.compare(path.size() - 20, 20, "Zekerpad-back-up.txt") == 0) continue;
        const std::string prefix = dest + "\\Demo\\";
        ASSERT_EQ(0u, path.find(prefix)) << path;
        EXPECT_EQ(ReadWholeFile(show + path.substr(prefix.size())), state.bytes) << path;
        ++copies;
    }
    EXPECT_LT(copies, 3);  // it did stop before the end
}
}  // namespace

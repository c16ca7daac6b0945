// A log-off while /back-up runs without a window: the window it never
// shows hears Windows end the session, the run stops at once with code 6,
// no partial file stays on the stick, and the record says "niet volledig".
#include "app/command_check.h"
#include "app/command_line.h"
#include "files/temp_name.h"
#include "support/test_support.h"

namespace {
int s_sessionEnds = 0;
void CountSessionEnd() { ++s_sessionEnds; }

// The program's hidden window of this thread that listens for the session's end.
HWND HiddenListener() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND wnd, LPARAM out) {
            char cls[16] = {}, text[16] = {};
            ::GetClassNameA(wnd, cls, sizeof cls);
            ::GetWindowTextA(wnd, text, sizeof text);
            if (lstrcmpiA(cls, "Static") != 0 || std::string(text) != "Zekerpad" || ::IsWindowVisible(wnd)) return TRUE;
            *reinterpret_cast<HWND*>(out) = wnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

bool CopyUnderway(const std::string& folder) {
    for (const auto& file : SnapshotOf(folder))
        if (IsTempFileName(file.first.substr(file.first.rfind('\\') + 1))) return true;
    return false;
}
}  // namespace

TEST(BackupScriptLogOff, StopsTheRunWithSixAndLeavesNoPartialFile) {
    ScratchFolder root("C:\\ZkAfmelden");
    ScratchFolder stick("E:\\ZkAfmeldenStick");
    ASSERT_TRUE(MakeFolderTree(root / "Show\\Audio"));
    ASSERT_TRUE(MakeFolderTree(stick.Path()));
    ASSERT_TRUE(WriteWholeFile(root / "Show\\Audio\\lang.wav", std::string(6 << 20, 'w')));  // many chunks
    const std::string show = root / "Show\\show.ws4";
    ASSERT_TRUE(WriteWholeFile(show, ShowFileBytes({"C:\\ZkAfmelden\\Show\\Audio\\lang.wav"})));
    s_sessionEnds = 0;
    ScopedSeam<BackupSessionEndFn> sessionEnd(g_pfnBackupSessionEnd, &CountSessionEnd);
    bool loggedOff = false, partialSeen = false;
    LongWorkSteps steps([&](CLongWork&, int) {
        // Once a copy is being written, Windows asks, and the session ends.
        if (loggedOff || !CopyUnderway(stick.Path())) return false;
        partialSeen = true;
        const HWND listener = HiddenListener();
        EXPECT_NE(listener, nullptr);
        loggedOff = true;
        EXPECT_TRUE(::SendMessageA(listener, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
        ::SendMessageA(listener, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        return false;
    });
    const std::string logPath = root / "afmelden.log";
    const int code =
        RunCommandCheck(ParseCheckCommand({"/back-up", show, stick.Path()}), logPath, root / "geen.ini");
    EXPECT_EQ(code, 6);
    EXPECT_TRUE(partialSeen);
    EXPECT_EQ(s_sessionEnds, 1);
    EXPECT_FALSE(CopyUnderway(stick.Path()));
    EXPECT_EQ(::GetFileAttributesA("E:\\ZkAfmeldenStick\\Show\\Audio\\lang.wav"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(ReadWholeFile("E:\\ZkAfmeldenStick\\Show - Zekerpad-back-up.txt").find("Laatste back-up: niet volledig"),
              std::string::npos);
    const std::string log = ReadWholeFile(logPath);
    EXPECT_NE(log.find("Back-up gestopt\n\r"), std::string::npos) << log;
    EXPECT_NE(log.find("-> Uitslag - back-up niet volledig (code 6)\n\r"), std::string::npos) << log;
}

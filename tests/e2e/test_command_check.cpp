// The check for scripts in the real program: started as a back-up script
// would start it, it ends by itself with its exit code and opens no window
// (nobody would answer one, and the run would not end in time).
#include "support/driver.h"
#include "support/test_support.h"

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

int Check(const std::string& arguments) {
    DWORD code = 99;
    EXPECT_TRUE(RunAndWait(Quoted(ProgramFolder() + "\\Zekerpad.exe") + " " + arguments, 30000, &code)) << arguments;
    return static_cast<int>(code);
}

}  // namespace

TEST(CheckForScripts, ExitCodesOfTheRealProgram) {
    ScratchFolder root("C:\\ZkScript");
    ASSERT_TRUE(MakeFolderTree(root / "Show"));
    ASSERT_TRUE(WriteWholeFile(root / "Show\\a.wav", "RIFF"));
    const std::string green = root / "Show\\groen.ws4";
    const std::string red = root / "Show\\rood.ws4";
    ASSERT_TRUE(WriteWholeFile(green, ShowFileBytes({"C:\\ZkScript\\Show\\a.wav"})));
    ASSERT_TRUE(WriteWholeFile(red, ShowFileBytes({"C:\\ZkScript\\Show\\weg.wav"})));
    LogWatch log;

    EXPECT_EQ(Check("/controleer " + Quoted(green)), 0);
    EXPECT_EQ(Check("/controleer " + Quoted(red) + " /rapport " + Quoted(root / "rood rapport.html")), 2);
    EXPECT_EQ(Check("/controleer " + Quoted(root / "weg.ws4")), 3);
    EXPECT_EQ(Check("/controleer"), 4);

    EXPECT_TRUE(ReadWholeFile(root / "rood rapport.html").find("Oordeel: rood") != std::string::npos);
    const std::string appended = log.Appended();
    EXPECT_NE(appended.find("Controle zonder venster\n\r-> Start analyse - C:\\ZkScript\\Show\\groen.ws4\n\r"),
              std::string::npos)
        << appended;
    EXPECT_NE(appended.find("-> Uitslag - rood (code 2)\n\r"), std::string::npos);
}

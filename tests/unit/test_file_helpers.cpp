// The file and path helpers against real files on the Wine drives.
#include <windows.h>
#include <direct.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "files/file_helpers.h"
#include "app/app.h"
#include "services/state.h"
#include "common/win_raii.h"
#include "support/test_support.h"

namespace {

std::string Pattern(size_t n) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
    return bytes;
}

std::string CurrentDir() {
    std::unique_ptr<char, decltype(&std::free)> p(_getcwd(nullptr, 0), &std::free);
    return p ? p.get() : "";
}

// The directory a drive letter alone stands for ("D:" -> "D:\Shows"): the
// drive's own current directory, which Windows keeps in the environment
// variable "=D:" and resolves through it.
std::string CurrentDirOfDrive(char drive) {
    const char relative[] = {drive, ':', '\0'};
    char full[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameA(relative, MAX_PATH, full, nullptr);
    std::string dir = n && n < MAX_PATH ? full : "";
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    return dir;
}

// Puts the process's current directory back when a test ends.
class CurrentDirGuard {
public:
    CurrentDirGuard() : m_saved(CurrentDir()) {}
    ~CurrentDirGuard() { _chdir(m_saved.c_str()); }

private:
    std::string m_saved;
};

}  // namespace

TEST(FileExists, OnlyFilesThatCanBeOpenedForReading) {
    ScratchFolder dir("C:\\ZkFileExists");
    const std::string file = dir / "a.bin";
    ASSERT_TRUE(WriteWholeFile(file, "abc"));

    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists("c:\\zkfileexists\\A.BIN")) << "Windows paths ignore case";
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir.Path())) << "a folder";
    EXPECT_FALSE(FileExists(dir / "missing.bin"));
    {
        UniqueFile lock = HoldOpen(file, 0);
        ASSERT_TRUE(lock);
        EXPECT_FALSE(FileExists(file)) << "held exclusively by another program";
    }
    EXPECT_TRUE(FileExists(file)) << "released again";
}

TEST(FolderExists, TestsTheFolderWhateverTheSpelling) {
    ScratchFolder c("C:\\ZkFolderExists");
    ScratchFolder d("D:\\ZkFolderExists");
    ASSERT_TRUE(MakeFolderTree(d / "sub"));
    ASSERT_TRUE(WriteWholeFile(c / "file.txt", "x"));

    for (const char* yes : {"C:", "C:\\", "c:\\", "D:", "C:\\ZkFolderExists", "C:\\ZkFolderExists\\",
                            "C:\\ZkFolderExists\\\\", "d:\\zkfolderexists\\SUB", "D:\\ZkFolderExists\\sub\\"})
        EXPECT_TRUE(FolderExists(yes)) << yes;
    for (const char* no : {"", "C:\\ZkFolderExists\\file.txt", "C:\\ZkFolderExists\\missing",
                           "Q:\\", "1:\\", "D:\\ZkFolderExists\\sub\\missing\\"})
        EXPECT_FALSE(FolderExists(no)) << no;

    // Too long for the 260-character buffer the path is built in: refused,
    // never cut to a folder that does exist.
    std::string longPath = "C:\\ZkFolderExists\\" + std::string(300, 'x');
    EXPECT_FALSE(FolderExists(longPath));
}

TEST(FolderExists, LeavesEveryCurrentDirectoryAsItWas) {
    CurrentDirGuard guard;
    ScratchFolder c("C:\\ZkFolderCwd");
    ScratchFolder d("D:\\ZkFolderCwd");
    for (const char* sub : {"C:\\ZkFolderCwd\\here", "D:\\ZkFolderCwd\\there", "D:\\ZkFolderCwd\\other"})
        ASSERT_TRUE(MakeFolderTree(sub));

    // Each drive with a current directory of its own, C: current. The
    // runtime keeps D:'s in "=D:" (Wine's runtime does not, so set it).
    ASSERT_EQ(_chdir("D:\\ZkFolderCwd\\there"), 0);
    ASSERT_EQ(_chdir("C:\\ZkFolderCwd\\here"), 0);
    ASSERT_TRUE(::SetEnvironmentVariableA("=D:", "D:\\ZkFolderCwd\\there"));
    const std::string before = CurrentDir();
    const std::string beforeC = CurrentDirOfDrive('C');
    const std::string beforeD = CurrentDirOfDrive('D');
    ASSERT_EQ(before, "C:\\ZkFolderCwd\\here");
    ASSERT_EQ(beforeD, "D:\\ZkFolderCwd\\there");

    for (const char* path : {"D:\\ZkFolderCwd\\other", "D:\\ZkFolderCwd\\missing", "D:", "d:\\",
                             "C:\\ZkFolderCwd", "C:\\", "C:", "Q:\\nothing", "here", "..\\..\\ZkFolderCwd"}) {
        SCOPED_TRACE(path);
        FolderExists(path);
        EXPECT_EQ(CurrentDir(), before);
        EXPECT_EQ(CurrentDirOfDrive('C'), beforeC);
        EXPECT_EQ(CurrentDirOfDrive('D'), beforeD);
    }
    EXPECT_TRUE(FolderExists("..\\here")) << "relative to the current directory";
    EXPECT_FALSE(FolderExists("here"));

    // The same with D: current.
    ASSERT_EQ(_chdir("D:\\ZkFolderCwd\\there"), 0);
    EXPECT_TRUE(FolderExists("C:\\ZkFolderCwd\\here"));
    EXPECT_EQ(CurrentDir(), "D:\\ZkFolderCwd\\there");
    // Leave neither scratch folder current, so that both can be removed.
    ASSERT_EQ(_chdir("C:\\"), 0);
    ::SetEnvironmentVariableA("=D:", nullptr);
}

TEST(CopyFileChunked, CopiesEveryByteAroundTheChunkSize) {
    ScratchFolder dir("C:\\ZkCopyChunks");
    for (size_t size : {size_t{0}, size_t{1}, kCopyChunkBytes - 1, kCopyChunkBytes, size_t{1000000},
                        size_t{1000001}}) {
        SCOPED_TRACE(size);
        const std::string source = dir / ("in" + std::to_string(size) + ".bin");
        const std::string target = dir / ("out" + std::to_string(size) + ".bin");
        const std::string bytes = Pattern(size);
        ASSERT_TRUE(WriteWholeFile(source, bytes));
        EXPECT_TRUE(CopyFileChunked(source, target));
        EXPECT_TRUE(ReadWholeFile(target) == bytes);
        EXPECT_TRUE(ReadWholeFile(source) == bytes) << "the source stays as it was";
    }
}

TEST(CopyFileChunked, RefusesWithoutTouchingAnything) {
    ScratchFolder dir("C:\\ZkCopyRefuse");
    const std::string source = dir / "source.bin";
    const std::string target = dir / "target.bin";
    ASSERT_TRUE(WriteWholeFile(source, Pattern(1000)));

    // An existing target is never overwritten.
    ASSERT_TRUE(WriteWholeFile(target, "old contents"));
    EXPECT_FALSE(CopyFileChunked(source, target));
    EXPECT_EQ(ReadWholeFile(target), "old contents");
    ASSERT_TRUE(::DeleteFileA(target.c_str()));

    EXPECT_FALSE(CopyFileChunked(dir / "missing.bin", target));
    EXPECT_FALSE(FileExists(target)) << "a missing source creates nothing";

    EXPECT_FALSE(CopyFileChunked(source, dir / "no such folder\\target.bin"));

    // Another program has the source open: readable, but not exclusively.
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        SCOPED_TRACE(share);
        UniqueFile held = HoldOpen(source, share);
        ASSERT_TRUE(held);
        EXPECT_FALSE(CopyFileChunked(source, target));
        EXPECT_EQ(::GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing created";
    }

    // A target that another program holds open exclusively exists but is
    // unreadable: still never overwritten.
    ASSERT_TRUE(WriteWholeFile(target, "locked"));
    {
        UniqueFile held = HoldOpen(target, 0);
        ASSERT_TRUE(held);
        EXPECT_FALSE(CopyFileChunked(source, target));
    }
    EXPECT_EQ(ReadWholeFile(target), "locked");
}

namespace {
// The names in a folder, in the order the system lists them.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    UniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (find) do {
            if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
                names.push_back(found.cFileName);
        } while (::FindNextFileA(find.get(), &found));
    return names;
}

bool IsTempName(const std::string& name) {
    return name.size() == 15 && name.rfind("~zk", 0) == 0 && name.substr(11) == ".tmp";
}
}  // namespace

// A power cut in the middle must not leave half a file under the real name,
// where the next analysis would call it present.
TEST(CopyFileChunked, TheTargetAppearsOnlyWhenComplete) {
    ScratchFolder in("C:\\ZkCopyTempIn");
    ScratchFolder out("C:\\ZkCopyTempOut");
    const std::string source = in / "bron.bin";
    const std::string target = out / "doel.bin";
    ASSERT_TRUE(WriteWholeFile(source, Pattern(1000001)));

    std::vector<std::vector<std::string>> during;
    EXPECT_TRUE(CopyFileChunked(source, target, [&](int64_t) {
        during.push_back(NamesIn(out.Path()));
        return true;
    }));
    ASSERT_GE(during.size(), 2u);  // after the first chunk and the last
    for (const std::vector<std::string>& names : during) {
        ASSERT_EQ(names.size(), 1u);
        EXPECT_TRUE(IsTempName(names[0])) << names[0];
    }
    EXPECT_EQ(NamesIn(out.Path()), std::vector<std::string>{"doel.bin"});
    EXPECT_TRUE(ReadWholeFile(target) == Pattern(1000001));

    // Stopped half-way: nothing under either name.
    ASSERT_TRUE(::DeleteFileA(target.c_str()));
    EXPECT_FALSE(CopyFileChunked(source, target, [](int64_t) { return false; }));
    EXPECT_EQ(NamesIn(out.Path()), std::vector<std::string>{});
}

// A disk that fills up half-way: the copy must say so and leave no partial
// file behind, or a repair that trusts it would delete the only full copy.
TEST(CopyFileChunked, FullDiskFailsAndRemovesThePartialCopy) {
    const char* disk = std::getenv("ZK_SMALL_DISK");
    if (!disk || !*disk)
        GTEST_SKIP() << "no small disk: tests/run-tests.sh mounts a 3 MiB tmpfs as F: only when run as root";
    ScratchFolder dir("C:\\ZkCopyFull");
    ScratchFolder full(std::string(disk) + "ZkCopyFull");
    ULARGE_INTEGER freeBytes{};
    ASSERT_TRUE(::GetDiskFreeSpaceExA(disk, &freeBytes, nullptr, nullptr));
    ASSERT_LT(freeBytes.QuadPart, 8ull << 20) << "not a small disk";

    const std::string big = dir / "big.bin";
    ASSERT_TRUE(WriteWholeFile(big, Pattern(static_cast<size_t>(freeBytes.QuadPart) + 1500000)));
    const std::string target = full / "big.bin";
    EXPECT_FALSE(CopyFileChunked(big, target));
    EXPECT_EQ(::GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES) << "partial copy left behind";

    // The room is free again for a copy that fits.
    const std::string small = dir / "small.bin";
    ASSERT_TRUE(WriteWholeFile(small, Pattern(1000000)));
    EXPECT_TRUE(CopyFileChunked(small, full / "small.bin"));
    EXPECT_TRUE(ReadWholeFile(full / "small.bin") == Pattern(1000000));
}

TEST(FullPathName, ResolvesAgainstTheDrivesCurrentDirectory) {
    CurrentDirGuard guard;
    ScratchFolder c("C:\\ZkFullPath");
    ASSERT_EQ(_chdir("C:\\ZkFullPath"), 0);
    EXPECT_EQ(FullPathName("C:demo.ws4"), "C:\\ZkFullPath\\demo.ws4");
    EXPECT_EQ(FullPathName("demo.ws4"), "C:\\ZkFullPath\\demo.ws4");
    EXPECT_EQ(FullPathName("C:\\Shows\\Demo\\demo.ws4"), "C:\\Shows\\Demo\\demo.ws4");
    EXPECT_EQ(FullPathName(""), "");
    const std::string longPath = "C:\\" + std::string(400, 'a') + "\\demo.ws4";
    EXPECT_EQ(FullPathName(longPath), longPath) << "longer than MAX_PATH, whole";
    ASSERT_EQ(_chdir("C:\\"), 0);
}

class ShowSubfolders : public ::testing::Test {
protected:
    void SetUp() override {
        g_szShowDrive = "C:";
        g_szShowDir = "\\ZkSubfolders\\Demo\\";
        g_csSubmapAudio = "Audio";
        g_csSubmapPlaatjes = "Plaatjes";
        g_csSubmapOverige = "Overige\\Nog dieper";
    }
    void TearDown() override { ResetSharedState(); }

    ScratchFolder dir{"C:\\ZkSubfolders"};
    MessageBoxRecorder boxes;
    CWingsTestApp app;
};

TEST_F(ShowSubfolders, MakesAllThreeInOrderOrNone) {
    ASSERT_TRUE(MakeFolderTree(dir / "Demo"));
    EXPECT_TRUE(app.CreateShowSubfolders());
    for (const char* sub : {"Demo\\Audio", "Demo\\Plaatjes", "Demo\\Overige\\Nog dieper"})
        EXPECT_TRUE(FolderExists(dir / sub)) << sub;
    EXPECT_TRUE(app.CreateShowSubfolders()) << "all there: nothing to do";
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShowSubfolders, StopsAtTheFirstThatCannotBeMade) {
    // A file where the second folder should be: the folder cannot be made,
    // even though the name is taken.
    ASSERT_TRUE(MakeFolderTree(dir / "Demo"));
    ASSERT_TRUE(WriteWholeFile(dir / "Demo\\Plaatjes", "a file"));
    EXPECT_FALSE(app.CreateShowSubfolders());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              "Er is een fout opgetreden tijdens het maken van de map:\nC:\\ZkSubfolders\\Demo\\Plaatjes\\");
    EXPECT_TRUE(FolderExists(dir / "Demo\\Audio"));
    EXPECT_FALSE(FolderExists(dir / "Demo\\Overige")) << "the third is not tried";

    // A name the file system refuses.
    g_csSubmapPlaatjes = "Pla*tjes";
    EXPECT_FALSE(app.CreateShowSubfolders());
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_NE(boxes.Boxes()[1].text.find("Pla*tjes"), std::string::npos);
}

TEST_F(ShowSubfolders, RefusesAPathTooLongToBuild) {
    g_szShowDir = "\\ZkSubfolders\\" + std::string(240, 'd') + "\\";
    EXPECT_FALSE(app.CreateShowSubfolders());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Er is een fout opgetreden tijdens het maken van de map:\nC:" + g_szShowDir +
                                         "Audio\\") << "the whole path, not cut";
    EXPECT_FALSE(FolderExists("C:\\ZkSubfolders\\" + std::string(240, 'd').substr(0, 100)));
}

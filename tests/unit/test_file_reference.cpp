// CFileReference::Inspect on real files: parts, kind, existence and size.
#include <windows.h>

#include <string>

#include "files/file_reference.h"
#include "common/text.h"
#include "common/win_raii.h"
#include "support/test_support.h"

namespace {

CFileReference Inspected(const std::string& path) {
    CFileReference ref;
    ref.Inspect(path);
    return ref;
}

}  // namespace

TEST(FileReference, SoundFileWithItsTlgCompanion) {
    ScratchFolder dir("C:\\ZkRefSound\\Demo");
    const std::string wav = dir / "intro.WAV";
    const std::string tlg = dir / "intro.tlg";
    ASSERT_TRUE(WriteWholeFile(wav, std::string(1000, 'w')));
    ASSERT_TRUE(WriteWholeFile(tlg, std::string(200, 't')));

    CFileReference ref = Inspected(wav);
    EXPECT_EQ(ref.m_csPath, wav);
    EXPECT_EQ(ref.m_csDrive, "C:");
    EXPECT_EQ(ref.m_csDir, "\\ZkRefSound\\Demo\\");
    EXPECT_EQ(ref.m_csName, "intro");
    EXPECT_EQ(ref.m_csExt, ".WAV");
    EXPECT_EQ(ref.m_chDrive, 'C');
    EXPECT_EQ(ref.m_nKind, 1);
    EXPECT_EQ(ref.m_nExists, 1);
    EXPECT_EQ(ref.m_nSize, 1200);

    EXPECT_EQ(Inspected("c:\\zkrefsound\\demo\\INTRO.wav").m_chDrive, 'C');
    EXPECT_EQ(Inspected("c:\\zkrefsound\\demo\\INTRO.wav").m_nSize, 1200) << "companion found whatever the case";
    {
        // A companion held open by another program is not measured.
        UniqueFile held = HoldOpen(tlg, FILE_SHARE_READ);
        ASSERT_TRUE(held);
        ref = Inspected(wav);
        EXPECT_EQ(ref.m_nExists, 1);
        EXPECT_EQ(ref.m_nSize, 1000);
    }
    // Only sound files have a companion.
    const std::string bmp = dir / "intro.bmp";
    ASSERT_TRUE(WriteWholeFile(bmp, std::string(30, 'b')));
    EXPECT_EQ(Inspected(bmp).m_nSize, 30);

    ASSERT_TRUE(::DeleteFileA(tlg.c_str()));
    EXPECT_EQ(Inspected(wav).m_nSize, 1000);

    // A companion without its sound file counts for nothing.
    ASSERT_TRUE(WriteWholeFile(tlg, std::string(200, 't')));
    ASSERT_TRUE(::DeleteFileA(wav.c_str()));
    ref = Inspected(wav);
    EXPECT_EQ(ref.m_nExists, -1);
    EXPECT_EQ(ref.m_nSize, -1);
}

TEST(FileReference, PresentMissingAndLocked) {
    ScratchFolder c("C:\\ZkRefState");
    ScratchFolder d("D:\\ZkRefState");
    const std::string onD = d / "slide.jpg";
    ASSERT_TRUE(WriteWholeFile(onD, std::string(4321, 'j')));

    CFileReference ref = Inspected(onD);
    EXPECT_EQ(ref.m_chDrive, 'D');
    EXPECT_EQ(ref.m_nKind, 2);
    EXPECT_EQ(ref.m_nExists, 1);
    EXPECT_EQ(ref.m_nSize, 4321);

    ref = Inspected("d:\\ZkRefState\\pics\\missing.jpg");
    EXPECT_EQ(ref.m_chDrive, 'D');
    EXPECT_EQ(ref.m_nKind, 2);
    EXPECT_EQ(ref.m_nExists, -1);
    EXPECT_EQ(ref.m_nSize, -1);

    // Held by another program: present, not measured, and not missing.
    const std::string song = c / "song.mp3";
    ASSERT_TRUE(WriteWholeFile(song, std::string(500, 'm')));
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        SCOPED_TRACE(share);
        UniqueFile held = HoldOpen(song, share);
        ASSERT_TRUE(held);
        ref = Inspected(song);
        EXPECT_EQ(ref.m_nExists, 0);
        EXPECT_EQ(ref.m_nSize, -1);
        EXPECT_EQ(ref.m_nKind, 1);
    }

    // A folder is no file.
    ASSERT_TRUE(MakeFolderTree(c / "folder.wav"));
    ref = Inspected(c / "folder.wav");
    EXPECT_EQ(ref.m_nExists, -1);
    EXPECT_EQ(ref.m_nSize, -1);
}

TEST(FileReference, KindsOfRealFiles) {
    ScratchFolder dir("C:\\ZkRefKinds");
    const struct {
        const char* name;
        int kind;
    } cases[] = {
        {"a.TIFF", 2}, {"c.jpeg", 3}, {"d.wave", 1}, {"e.001", 2}, {"g.000", 3}, {"noext", 3}, {"k.ws4x", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteWholeFile(dir / c.name, "12345"));
        CFileReference ref = Inspected(dir / c.name);
        EXPECT_EQ(ref.m_nKind, c.kind);
        EXPECT_EQ(ref.m_nExists, 1);
        EXPECT_EQ(ref.m_nSize, 5);
    }
    // A dot in a folder name makes no extension.
    ASSERT_TRUE(MakeFolderTree(dir / "show.wav"));
    ASSERT_TRUE(WriteWholeFile(dir / "show.wav\\readme", "x"));
    EXPECT_EQ(Inspected(dir / "show.wav\\readme").m_nKind, 3);
}

// Sizes past 2 GB must neither wrap nor turn negative.
TEST(FileReference, SizesBeyondTwoGigabytes) {
    ScratchFolder dir("C:\\ZkRefHuge");
    const std::string video = dir / "film.avi";
    {
        UniqueFile f(::CreateFileA(video.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        ASSERT_TRUE(f);
        LARGE_INTEGER end{};
        end.QuadPart = 3000000000LL;
        // A sparse file: the length without the bytes.
        ASSERT_TRUE(::SetFilePointerEx(f.get(), end, nullptr, FILE_BEGIN));
        if (!::SetEndOfFile(f.get())) GTEST_SKIP() << "this disk cannot hold a 3 GB file";
    }
    CFileReference ref = Inspected(video);
    EXPECT_EQ(ref.m_nExists, 1);
    EXPECT_EQ(ref.m_nSize, 3000000000LL);
    EXPECT_EQ(FormatThousands(ref.m_nSize), "3.000.000.000");
}

// A name Windows keeps for a device opens the device in any folder, and a
// pipe opens too: neither is a file the show can be copied with. The
// folders exist, so only the name can make them absent.
TEST(FileReference, DevicesAndPipesAreNoFiles) {
    ScratchFolder dir("C:\\ZkRefDevice");
    ASSERT_TRUE(MakeFolderTree(dir / "Audio"));
    for (const std::string name : {"nul.wav", "aux.wav", "Audio\\NUL", "con.jpg", "COM1.mp3", "lpt2 .bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(FileExists(dir / name));
        EXPECT_FALSE(FilePresent(dir / name));
        const CFileReference ref = Inspected(dir / name);
        EXPECT_EQ(ref.m_nExists, -1);
        EXPECT_EQ(ref.m_nSize, -1);
    }
    const std::string pipeName = "\\\\.\\pipe\\ZkRefDevice";
    UniqueFile pipe(::CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, PIPE_UNLIMITED_INSTANCES,
                                       512, 512, 0, nullptr));
    ASSERT_TRUE(pipe);
    EXPECT_FALSE(FileExists(pipeName));
    EXPECT_FALSE(FilePresent(pipeName));
    // An ordinary file beside them is still there.
    ASSERT_TRUE(WriteWholeFile(dir / "null.wav", "RIFF"));
    EXPECT_TRUE(FileExists(dir / "null.wav"));
    EXPECT_EQ(Inspected(dir / "null.wav").m_nExists, 1);
}

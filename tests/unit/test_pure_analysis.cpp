// Unit tests of the window-free core of the show analysis: finding the
// references in a show's bytes, splitting paths, kinds, colours and the
// Dutch number format. Built natively (sanitizers) and for Windows.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/classify.h"
#include "files/file_kind.h"
#include "files/path_split.h"
#include "analysis/ref_scan.h"
#include "common/text.h"

using namespace std::string_literals;

namespace {

// The references in `bytes`, scanned from a heap block of exactly that
// size: no terminating zero, so a read past the end trips ASan.
std::vector<std::string> Refs(const std::string& bytes)
{
    auto block = std::make_unique<char[]>(bytes.size() ? bytes.size() : 1);
    std::memcpy(block.get(), bytes.data(), bytes.size());
    std::vector<std::string> refs;
    ForEachReference(block.get(), bytes.size(),
                     [&](std::string_view ref) { refs.emplace_back(ref); });
    return refs;
}

using Strings = std::vector<std::string>;

}  // namespace

// --- Finding references ---------------------------------------------------

TEST(RefScan, StartAndEndOfBuffer)
{
    EXPECT_EQ(Refs(""), Strings{});
    EXPECT_EQ(Refs(":\\abc\0"s), Strings{}) << "colon at byte 0 has no letter";
    EXPECT_EQ(Refs("xyzC:\\"), Strings{"C:\\"}) << "ends at the end of the data";
    EXPECT_EQ(Refs("xyzC:"), Strings{});
    EXPECT_EQ(Refs("C:\\a.wav"), Strings{"C:\\a.wav"}) << "no zero byte at all";
    EXPECT_EQ(Refs("C:\\\0"s), Strings{"C:\\"});
    EXPECT_EQ(Refs("C"), Strings{});
    EXPECT_EQ(Refs(":"), Strings{});
}

TEST(RefScan, WhatStartsAReference)
{
    EXPECT_EQ(Refs("c:\\lower.bmp\0"s), Strings{"c:\\lower.bmp"});
    EXPECT_EQ(Refs("file:\\x\0"s), Strings{"e:\\x"});
    EXPECT_EQ(Refs("1:\\x\0_:\\y\0C:/z\0C: \\w\0"s), Strings{});
    EXPECT_EQ(Refs("\xEB:\\x\0"s), Strings{}) << "only ASCII letters";
    EXPECT_EQ(Refs("\\\\server\\share\\a.wav\0rel\\b.wav\0"s), Strings{});
    // Every byte but zero belongs to the text.
    EXPECT_EQ(Refs("D:\\Kopi\xEBren\n\x01x\0"s), Strings{"D:\\Kopi\xEBren\n\x01x"});
}

TEST(RefScan, EveryOccurrenceCounts)
{
    EXPECT_EQ(Refs("C:\\a.wav\0C:\\a.wav\0"s), (Strings{"C:\\a.wav", "C:\\a.wav"}));
    // The search goes on inside a reference just taken.
    EXPECT_EQ(Refs("C:\\a\\D:\\b\\e:\\c\0"s),
              (Strings{"C:\\a\\D:\\b\\e:\\c", "D:\\b\\e:\\c", "e:\\c"}));
    // Each reference ends at its own zero.
    EXPECT_EQ(Refs("C:\\x D:\\y\0\0junk\0E:\\z\0"s),
              (Strings{"C:\\x D:\\y", "D:\\y", "E:\\z"}));
    EXPECT_EQ(Refs("\0\0A:\\1\0B:\\2"s), (Strings{"A:\\1", "B:\\2"}));
}

TEST(RefScan, LongReferencesAreCutAt1000)
{
    const std::string tail(1497, 'a');  // 1500 characters with "C:\"
    Strings refs = Refs("C:\\" + tail + '\0' + "D:\\next"s);
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(refs[0], ("C:\\" + tail).substr(0, 1000));
    EXPECT_EQ(refs[1], "D:\\next");

    // A reference nested beyond the cut is still found, and is cut itself.
    std::string body(1500, 'b');
    body.replace(1200, 3, "E:\\");
    body.replace(300, 3, "F:\\");
    refs = Refs("C:\\" + body);
    ASSERT_EQ(refs.size(), 3u);
    EXPECT_EQ(refs[0].size(), 1000u);
    EXPECT_EQ(refs[1], body.substr(300, 1000));
    EXPECT_EQ(refs[2], body.substr(1200));
    EXPECT_EQ(refs[2].size(), 300u);
}

// --- Splitting paths ------------------------------------------------------

namespace {
void ExpectParts(std::string_view path, const char* drive, const char* dir,
                 const char* name, const char* ext)
{
    const PathParts parts = SplitPath(path);
    EXPECT_EQ(parts.drive, drive) << path;
    EXPECT_EQ(parts.dir, dir) << path;
    EXPECT_EQ(parts.name, name) << path;
    EXPECT_EQ(parts.ext, ext) << path;
}
}  // namespace

TEST(SplitPath, Parts)
{
    ExpectParts("C:\\Shows\\Demo\\intro.WAV", "C:", "\\Shows\\Demo\\", "intro", ".WAV");
    ExpectParts("d:/pics/slide.jpg", "d:", "/pics/", "slide", ".jpg");
    ExpectParts("C:\\Shows/Demo\\a", "C:", "\\Shows/Demo\\", "a", "");
    ExpectParts("C:\\my.folder\\readme", "C:", "\\my.folder\\", "readme", "");
    ExpectParts("C:\\a\\b.tar.gz", "C:", "\\a\\", "b.tar", ".gz");
    ExpectParts("C:\\a\\.wav", "C:", "\\a\\", "", ".wav");
    ExpectParts("C:\\a\\name.", "C:", "\\a\\", "name", ".");
    ExpectParts("C:", "C:", "", "", "");
    ExpectParts("C:\\", "C:", "\\", "", "");
    ExpectParts("C:name.ext", "C:", "", "name", ".ext");
    ExpectParts("\\\\server\\share\\demo.ws4", "", "\\\\server\\share\\", "demo", ".ws4");
    ExpectParts("demo.ws4", "", "", "demo", ".ws4");
    ExpectParts("", "", "", "", "");
    ExpectParts(":x", "", "", ":x", "");
}

TEST(SplitPath, PartsLongerThan255AreCut)
{
    const std::string dir = "\\" + std::string(300, 'd') + "\\";
    const std::string name(300, 'n');
    const std::string ext = "." + std::string(300, 'e');
    const PathParts parts = SplitPath("C:" + dir + name + ext);
    EXPECT_EQ(parts.drive, "C:");
    EXPECT_EQ(parts.dir, dir.substr(0, 255));
    EXPECT_EQ(parts.name, name.substr(0, 255));
    EXPECT_EQ(parts.ext, ext.substr(0, 255));
}

TEST(SplitPath, UpperDriveLetter)
{
    EXPECT_EQ(UpperDriveLetter("c:"), 'C');
    EXPECT_EQ(UpperDriveLetter("Z:"), 'Z');
    EXPECT_EQ(UpperDriveLetter(""), '\0');
    EXPECT_EQ(UpperDriveLetter("\xEB:"), '\xEB');
}

// A name Windows keeps for a device opens the device, in any folder: no
// such path is a file, however the show spells it.
TEST(SplitPath, DeviceNamesInAnyPartOfAPath)
{
    for (const char* device :
         {"C:\\Shows\\Demo\\nul.wav", "C:\\Shows\\Demo\\Audio\\NUL", "C:\\Shows\\AUX\\intro.wav", "C:\\Shows\\Prn.tar.gz",
          "C:\\Shows\\com1.mp3", "C:\\Shows\\LPT9", "C:\\Shows\\nul .wav", "C:\\Shows\\con...", "C:\\Shows\\nul:",
          "C:/Shows/aux/x.wav", "C:\\Shows\\COM\xB9.wav", "C:\\Shows\\nul\\"})
        EXPECT_TRUE(NamesDevice(device)) << device;
    for (const char* file : {"C:\\Shows\\null.wav", "C:\\Shows\\com10.wav", "C:\\Shows\\com0.wav", "C:\\Shows\\COM\xB4.wav",
                             "C:\\Shows\\anul.wav", "C:\\Shows\\x.nul", "C:\\Shows\\ con.wav", "C:\\Con certo\\a.wav", ""})
        EXPECT_FALSE(NamesDevice(file)) << file;
}

TEST(SplitPath, SubfolderNamesStayInsideTheShowsFolder)
{
    for (const char* good : {"Audio", "Mijn plaatjes", "Media\\Audio", "Overige (oud)", " Audio", "Kopi\xEBren"})
        EXPECT_EQ(SubfolderNameProblem(good), "") << good;
    const struct {
        const char* name;
        const char* why;
    } bad[] = {
        {"", "de naam is leeg"},
        {"..\\..\\..\\windows", "\"..\" wijst niet naar een map binnen de show"},
        {".", "\".\" wijst niet naar een map binnen de show"},
        {"\\Audio", "de naam mag niet met een schuine streep \\ beginnen of eindigen"},
        {"Audio\\", "de naam mag niet met een schuine streep \\ beginnen of eindigen"},
        {"Media\\\\Audio", "er staan twee schuine strepen \\ achter elkaar"},
        {"C:\\Audio", "het teken : mag niet in de naam van een map staan"},
        {"../Audio", "het teken / mag niet in de naam van een map staan"},
        {"Audio?", "het teken ? mag niet in de naam van een map staan"},
        {"Au\tdio", "er staat een stuurteken in"},
        {"Audio.", "een naam van een map mag niet op een punt of een spatie eindigen"},
        {"aux", "\"aux\" is in Windows de naam van een apparaat"},
        {"Media\\NUL.d", "\"NUL.d\" is in Windows de naam van een apparaat"},
    };
    for (const auto& c : bad)
        EXPECT_EQ(SubfolderNameProblem(c.name), c.why) << c.name;
}

// --- Kinds ----------------------------------------------------------------

TEST(FileKind, ByFirstFourCharacters)
{
    struct Case { const char* ext; int kind; };
    const Case cases[] = {
        {".ws4", kKindShow},   {".WS4", kKindShow},    {".ws4x", kKindShow},
        {".wav", kKindSound},  {".WAV", kKindSound},   {".wave", kKindSound},
        {".Mp3", kKindSound},  {".bmp", kKindImage},   {".tif", kKindImage},
        {".tiff", kKindImage}, {".TIF", kKindImage},   {".psd", kKindImage},
        {".gif", kKindImage},  {".jpg", kKindImage},   {".jpeg", kKindOther},
        {".ws", kKindOther},   {".wa", kKindOther},    {"", kKindOther},
        {".", kKindOther},     {".txt", kKindOther},   {".w\xC1v", kKindOther},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileKindOfExtension(c.ext), c.kind) << c.ext;
}

TEST(FileKind, NumberedFrames)
{
    struct Case { const char* ext; int kind; };
    const Case cases[] = {
        {".001", kKindImage}, {".0010", kKindImage}, {".12", kKindImage},
        {".000", kKindOther}, {".1a", kKindOther},   {".-5", kKindOther},
        {".+5", kKindOther},  {". 5", kKindOther},
        {".2147483647", kKindImage},   // largest signed 32-bit value
        {".2147483648", kKindOther},   // wraps to a negative value
        {".4294967296", kKindOther},   // wraps to 0
        {".4294967297", kKindImage},   // wraps to 1
        {".3000000000", kKindOther},   // wraps to a negative value
        {".99999999999999999999", kKindImage},  // wraps to 1661992959
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileKindOfExtension(c.ext), c.kind) << c.ext;
}

// --- Colours --------------------------------------------------------------

namespace {
RefColour Colour(int exists, std::string_view path, std::string_view showPath)
{
    const PathParts ref = SplitPath(path);
    const PathParts show = SplitPath(showPath);
    return ClassifyReference(exists, ref.drive, ref.dir, show.drive, show.dir);
}
}  // namespace

TEST(Classify, ShowWithFiveReferences)
{
    const char* show = "C:\\Shows\\Demo\\demo.ws4";
    EXPECT_EQ(Colour(1, "C:\\Shows\\Demo\\a.wav", show), RefColour::GreenInShowFolder);
    EXPECT_EQ(Colour(1, "C:\\Shows\\Demo\\Audio\\b.wav", show), RefColour::GreenInSubfolder);
    EXPECT_EQ(Colour(1, "C:\\Music\\c.mp3", show), RefColour::Yellow);
    EXPECT_EQ(Colour(1, "D:\\Pics\\d.jpg", show), RefColour::Yellow);
    EXPECT_EQ(Colour(-1, "C:\\Shows\\Demo\\e.bmp", show), RefColour::Red);

    EXPECT_TRUE(IsYellow1('C', "C:"));
    EXPECT_FALSE(IsYellow1('D', "C:"));
    EXPECT_EQ(GreenSubfolderText("\\Shows\\Demo\\Audio\\", "b", ".wav", "\\Shows\\Demo\\"),
              ".\\Audio\\b.wav");
}

TEST(Classify, WhereTheFileLies)
{
    const char* show = "C:\\Shows\\Demo\\demo.ws4";
    // Locked but present is not missing.
    EXPECT_EQ(Colour(0, "C:\\Shows\\Demo\\a.wav", show), RefColour::GreenInShowFolder);
    EXPECT_EQ(Colour(-1, "D:\\elsewhere\\x.wav", show), RefColour::Red);
    // A sibling folder that starts with the same letters is no subfolder.
    EXPECT_EQ(Colour(1, "C:\\Shows\\Demo2\\x.wav", show), RefColour::Yellow);
    // The folder above the show's.
    EXPECT_EQ(Colour(1, "C:\\Shows\\x.wav", show), RefColour::Yellow);
    EXPECT_EQ(Colour(1, "E:\\Shows\\Demo\\x.wav", show), RefColour::Yellow);
    EXPECT_EQ(Colour(1, "C:\\Shows\\Demo\\a\\b\\c\\x.wav", show), RefColour::GreenInSubfolder);
    EXPECT_EQ(GreenSubfolderText("\\shows\\demo\\a\\b\\c\\", "x", ".wav", "\\Shows\\Demo\\"),
              ".\\a\\b\\c\\x.wav");
    // Case of ASCII letters does not matter, other bytes must match.
    EXPECT_EQ(Colour(1, "c:\\SHOWS\\demo\\x.wav", show), RefColour::GreenInShowFolder);
    EXPECT_EQ(Colour(1, "c:\\shows\\demo\\audio\\x.wav", show), RefColour::GreenInSubfolder);
    EXPECT_EQ(Colour(1, "C:\\Kopi\xEBren\\x.wav", "C:\\Kopi\xCBren\\demo.ws4"), RefColour::Yellow);
}

TEST(Classify, DotSegmentsAreJudgedByWhereTheFileLies)
{
    const PathParts show = SplitPath("C:\\Shows\\Demo\\demo.ws4");
    const auto place = [&](std::string_view ref) {
        return PlaceReference(1, ref, show.drive, show.dir);
    };
    // Up and out of the show's folder: elsewhere on its drive.
    EXPECT_EQ(place("C:\\Shows\\Demo\\..\\Muziek\\x.wav").colour, RefColour::Yellow);
    EXPECT_EQ(place("C:\\Shows\\Demo\\Audio\\..\\..\\Demo2\\x.wav").colour, RefColour::Yellow);
    // Down and back up again: inside it.
    EXPECT_EQ(place("C:\\Shows\\Demo\\Audio\\..\\a.wav").colour, RefColour::GreenInShowFolder);
    EXPECT_EQ(place("c:\\shows\\DEMO\\.\\a.wav").colour, RefColour::GreenInShowFolder);
    EXPECT_EQ(place("C:\\Shows\\Muziek\\..\\Demo\\a.wav").colour, RefColour::GreenInShowFolder);
    const ReferencePlace sub = place("C:\\Shows\\Demo\\Oud\\..\\Audio\\.\\b.wav");
    EXPECT_EQ(sub.colour, RefColour::GreenInSubfolder);
    EXPECT_EQ(sub.relativeText, ".\\Audio\\b.wav");
    EXPECT_EQ(place("C:/Shows/Demo/Audio//b.wav").relativeText, ".\\Audio\\b.wav");
    // Missing stays missing, wherever it would lie.
    EXPECT_EQ(PlaceReference(-1, "C:\\Shows\\Demo\\..\\x.wav", show.drive, show.dir).colour, RefColour::Red);
}

TEST(PathSplit, FoldDotSegments)
{
    EXPECT_EQ(FoldDotSegments("C:\\Shows\\Demo\\..\\Muziek\\x.wav"), "C:\\Shows\\Muziek\\x.wav");
    EXPECT_EQ(FoldDotSegments("C:\\Shows\\Demo\\Audio\\..\\a.wav"), "C:\\Shows\\Demo\\a.wav");
    EXPECT_EQ(FoldDotSegments("C:\\a\\.\\b\\.\\c.wav"), "C:\\a\\b\\c.wav");
    EXPECT_EQ(FoldDotSegments("C:\\..\\..\\x.wav"), "C:\\x.wav") << "never above the root";
    EXPECT_EQ(FoldDotSegments("C:\\a\\..\\.."), "C:\\");
    EXPECT_EQ(FoldDotSegments("C:/a//b\\\\c.wav"), "C:\\a\\b\\c.wav");
    EXPECT_EQ(FoldDotSegments("C:\\Shows\\Demo\\"), "C:\\Shows\\Demo\\");
    EXPECT_EQ(FoldDotSegments("C:\\Shows\\..x\\...\\y.wav"), "C:\\Shows\\..x\\...\\y.wav")
        << "only whole segments fold";
    EXPECT_EQ(FoldDotSegments("a\\..\\..\\b"), "..\\b") << "a relative path keeps what it cannot resolve";
    EXPECT_EQ(FoldDotSegments(""), "");
    EXPECT_EQ(FoldDotSegments("C:"), "C:");
}

TEST(Classify, AFileThatWillNotOpenIsBusyOrMissing)
{
    // Sharing and lock violations: another program holds it; it is there.
    EXPECT_EQ(OpenRefusalOf(32), OpenRefusal::Busy);
    EXPECT_EQ(OpenRefusalOf(33), OpenRefusal::Busy);
    EXPECT_EQ(ExistsStateWhenUnreadable(32), 0);
    EXPECT_EQ(ExistsStateWhenUnreadable(33), 0);
    // Access denied: this user cannot read it, nor back it up.
    EXPECT_EQ(OpenRefusalOf(5), OpenRefusal::AccessDenied);
    EXPECT_EQ(ExistsStateWhenUnreadable(5), -1);
    EXPECT_EQ(OpenRefusalOf(2), OpenRefusal::Other);
    EXPECT_EQ(ExistsStateWhenUnreadable(1392), -1) << "a damaged file";
    EXPECT_EQ(ExistsStateWhenUnreadable(0), 0) << "it opened after all";
}

TEST(Classify, ShowDriveSpelling)
{
    // A show chosen as c:\... still finds its files on C:.
    const char* show = "c:\\shows\\demo\\demo.ws4";
    EXPECT_EQ(Colour(1, "C:\\Shows\\Demo\\a.wav", show), RefColour::GreenInShowFolder);
    EXPECT_EQ(Colour(1, "C:\\Shows\\Demo\\Audio\\b.wav", show), RefColour::GreenInSubfolder);
    EXPECT_TRUE(IsYellow1(UpperDriveLetter("C:"), "c:"));
}

TEST(Classify, ShowOnANetworkPath)
{
    // No drive letter: nothing can be green or yellow 1.
    const char* show = "\\\\server\\share\\Shows\\demo.ws4";
    EXPECT_EQ(Colour(1, "C:\\Shows\\demo.wav", show), RefColour::Yellow);
    EXPECT_EQ(Colour(1, "C:\\server\\share\\Shows\\a.wav", show), RefColour::Yellow);
    EXPECT_EQ(Colour(-1, "C:\\x.wav", show), RefColour::Red);
    EXPECT_FALSE(IsYellow1('C', ""));
}

TEST(Classify, ShowPathRelativeToItsDrive)
{
    // "C:demo.ws4" does not say which folder of C: holds the show, so no
    // file on C: may count as lying below it.
    EXPECT_EQ(Colour(1, "C:\\Anything\\x.wav", "C:demo.ws4"), RefColour::Yellow);
    EXPECT_EQ(Colour(1, "C:\\x.wav", "C:demo.ws4"), RefColour::Yellow);
    EXPECT_EQ(Colour(1, "C:\\Shows\\Demo\\x.wav", "C:Shows\\Demo\\demo.ws4"), RefColour::Yellow);
}

// --- Text helpers -----------------------------------------------------------

TEST(Text, AsciiCaseFolding)
{
    EXPECT_EQ(ToUpperAscii('a'), 'A');
    EXPECT_EQ(ToUpperAscii('z'), 'Z');
    EXPECT_EQ(ToUpperAscii('{'), '{');
    EXPECT_EQ(ToUpperAscii('\xEB'), '\xEB');
    EXPECT_TRUE(EqualsNoCaseAscii("C:\\Shows\\", "c:\\sHOWS\\"));
    EXPECT_FALSE(EqualsNoCaseAscii("\xEB", "\xCB"));
    EXPECT_FALSE(EqualsNoCaseAscii("abc", "ab"));
    EXPECT_FALSE(EqualsNoCaseAscii("@", "`"));
    EXPECT_TRUE(StartsWithNoCaseAscii(".WAVE", ".wav"));
    EXPECT_FALSE(StartsWithNoCaseAscii(".wa", ".wav"));
    EXPECT_TRUE(StartsWithNoCaseAscii("x", ""));
}

TEST(Text, FormatThousands)
{
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(7), "7");
    EXPECT_EQ(FormatThousands(999), "999");
    EXPECT_EQ(FormatThousands(1000), "1.000");
    EXPECT_EQ(FormatThousands(100000), "100.000");
    EXPECT_EQ(FormatThousands(1000000), "1.000.000");
    EXPECT_EQ(FormatThousands(1234567), "1.234.567");
    EXPECT_EQ(FormatThousands(3000000000LL), "3.000.000.000");  // over 2 GB
    EXPECT_EQ(FormatThousands(INT64_MAX), "9.223.372.036.854.775.807");
}

TEST(Text, FormatThousandsNegative)
{
    EXPECT_EQ(FormatThousands(-1), "-1");
    EXPECT_EQ(FormatThousands(-100), "-100");
    EXPECT_EQ(FormatThousands(-1000), "-1.000");
    EXPECT_EQ(FormatThousands(-123456), "-123.456");
    EXPECT_EQ(FormatThousands(INT64_MIN), "-9.223.372.036.854.775.808");
}

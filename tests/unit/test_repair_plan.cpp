// What the yellow repairs decide before touching a file. Window-free: it
// also runs natively under the sanitizers.
#include <gtest/gtest.h>

#include <memory>

#include "files/file_reference.h"
#include "repair/repair_plan.h"

namespace {
std::unique_ptr<CFileReference> Record(const char* drive, const char* dir, const char* name, const char* ext,
                                       int kind, int64_t size) {
    auto rec = std::make_unique<CFileReference>();
    rec->m_csDrive = drive;
    rec->m_csDir = dir;
    rec->m_csName = name;
    rec->m_csExt = ext;
    rec->m_csPath = std::string(drive) + dir + name + ext;
    rec->m_chDrive = static_cast<char>(drive[0] & ~0x20);
    rec->m_nKind = kind;
    rec->m_nSize = size;
    return rec;
}
}  // namespace

TEST(RepairPlan, PathsOfARecordInTheShowsSubfolders) {
    const TargetFolders folders = BuildTargetFolders("C:", "\\Shows\\Demo\\", "Audio", "Beeld\\Foto", "Overige");
    EXPECT_EQ("C:\\Shows\\Demo\\Audio\\", folders.audio);
    EXPECT_EQ("C:\\Shows\\Demo\\Beeld\\Foto\\", folders.plaatjes);
    EXPECT_EQ(nullptr, TargetFolderOf(folders, 0));
    EXPECT_EQ(&folders.audio, TargetFolderOf(folders, 1));
    EXPECT_EQ(&folders.plaatjes, TargetFolderOf(folders, 2));
    EXPECT_EQ(&folders.overige, TargetFolderOf(folders, 3));

    const auto rec = Record("D:", "\\Media\\", "intro", ".WAV", 1, 1200);
    EXPECT_EQ("C:\\Shows\\Demo\\Audio\\intro.WAV", TargetPath(folders.audio, *rec));
    EXPECT_EQ("D:\\Media\\intro.tlg", CompanionSourcePath(*rec));
    EXPECT_EQ("C:\\Shows\\Demo\\Audio\\intro.tlg", CompanionTargetPath(folders.audio, *rec));
    EXPECT_EQ("D:\\Media\\intro.WAV.bak", BackupPath(*rec));
}

TEST(RepairPlan, RoomNeededCountsEveryYellow2RecordIn64Bits) {
    CFileReferenceList records;
    records.push_back(Record("d:", "\\A\\", "groot", ".wav", 1, 2000000000));
    records.push_back(Record("D:", "\\A\\", "groot", ".wav", 1, 2000000000));  // named twice: counted twice
    records.push_back(Record("C:", "\\A\\", "hier", ".wav", 1, 5));            // yellow 1: not copied
    records.push_back(Record("E:", "\\A\\", "bezet", ".bmp", 2, -1));          // unmeasured: nothing
    EXPECT_EQ(4000000000, NeededBytesForYellow2(records, "c:"));
    // Without a show drive every record is yellow 2.
    EXPECT_EQ(4000000005, NeededBytesForYellow2(records, ""));
}

TEST(RepairPlan, ShowDriveTextIsTheUpperCaseLetterOrTheFolder) {
    EXPECT_EQ("D", ShowDriveText("d:", "\\Shows\\"));
    EXPECT_EQ("\\\\server\\share\\Shows\\", ShowDriveText("", "\\\\server\\share\\Shows\\"));
}

TEST(RepairPlan, ProgressOfManyGigabytesIsScaledToTheBarsRange) {
    // Up to 2,147,483,647 the bar counts every unit.
    EXPECT_EQ(0, ProgressShift(0));
    EXPECT_EQ(0, ProgressShift(2147483647));
    // One more halves the scale; 10 GB of copies need three halvings.
    EXPECT_EQ(1, ProgressShift(2147483648));
    EXPECT_EQ(3, ProgressShift(10000000000));
    EXPECT_EQ(32, ProgressShift(INT64_MAX));
}

// Where the originals of a move go, said by place: each drive or share
// once, in the order the records name them.
TEST(RepairPlan, PlacesOfTheOriginalsAndWhatTheUserReadsAboutThem) {
    EXPECT_EQ("E:", SourcePlace(*Record("e:", "\\Muziek\\", "a", ".wav", 1, 10)));
    EXPECT_EQ("\\\\nas\\muziek", SourcePlace(*Record("", "\\\\nas\\muziek\\Pop\\", "a", ".wav", 1, 10)));
    std::vector<std::string> places;
    AddPlace(places, "E:");
    AddPlace(places, "F:");
    AddPlace(places, "E:");
    EXPECT_EQ((std::vector<std::string>{"E:", "F:"}), places);

    EXPECT_EQ("", Yellow2QuestionNote({}));
    EXPECT_EQ("\n\nLet op: schijf E: heeft geen Prullenbak. Kiest u Ja, dan worden de bestanden daar voorgoed "
              "verwijderd.",
              Yellow2QuestionNote({"E:"}));
    EXPECT_EQ("\n\nLet op: schijf E:, schijf F: en de netwerkmap \\\\nas\\muziek hebben geen Prullenbak. Kiest u Ja, "
              "dan worden de bestanden daar voorgoed verwijderd.",
              Yellow2QuestionNote({"E:", "F:", "\\\\nas\\muziek"}));

    EXPECT_EQ("", Yellow2OriginalsNote({}, {}));
    EXPECT_EQ("De oorspronkelijke bestanden staan in de Prullenbak.", Yellow2OriginalsNote({"D:", "F:"}, {}));
    EXPECT_EQ("De oorspronkelijke bestanden zijn voorgoed verwijderd, want schijf E: heeft geen Prullenbak.",
              Yellow2OriginalsNote({}, {"E:"}));
    EXPECT_EQ("De oorspronkelijke bestanden van schijf D: staan in de Prullenbak; die van schijf E: en schijf G: zijn "
              "voorgoed verwijderd, want daar is geen Prullenbak.",
              Yellow2OriginalsNote({"D:"}, {"E:", "G:"}));
}

#include <gtest/gtest.h>

#include <cstdio>

#include "backup/backup_plan.h"
#include "backup/backup_record.h"
#include "common/text.h"
#include "files/temp_name.h"
#include "backup/backup_names.h"
#include "backup/backup_folder_choice.h"
#include "backup/backup_outcome.h"
#include "backup/backup_folders.h"

namespace {

constexpr uint64_t kSecond = 10000000;  // ticks
// 2024-05-01 04:00:00 UTC as the system counts it.
constexpr uint64_t kNoon = 133590096000000000ULL;

// A stand-in for SHA-256 in these tests: 64 hex digits that change with
// every byte (the real one needs the system).
std::string FakeChecksum(std::string_view bytes) {
    uint64_t h = 1469598103934665603ULL;
    for (char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < 64; ++i) text += kHex[(h >> ((i % 16) * 4)) & 15];
    return text;
}

BackupEntry File(const std::string& relative, int64_t size, uint64_t time) {
    BackupEntry e;
    e.relative = relative;
    e.size = size;
    e.writeTime = time;
    return e;
}

BackupEntry Folder(const std::string& relative) {
    BackupEntry e;
    e.relative = relative;
    e.isFolder = true;
    return e;
}

std::vector<BackupAction> Actions(const BackupPlan& plan) {
    std::vector<BackupAction> actions;
    for (const PlannedFile& f : plan.files) actions.push_back(f.action);
    return actions;
}

TEST(BackupPlan, FirstBackupCopiesEveryFileAndMakesEveryFolder) {
    const std::vector<BackupEntry> show = {File("demo.ws4", 100, kNoon), Folder("Audio"),
                                           File("Audio\\intro.wav", 5000, kNoon), Folder("Audio\\Oud")};
    const BackupPlan plan = PlanBackup(show, {}, "C:\\Shows\\Demo\\", "E:\\Back-up\\Demo\\", BackupVolume{});
    EXPECT_EQ(plan.folders, (std::vector<std::string>{"Audio", "Audio\\Oud"}));
    EXPECT_EQ(Actions(plan), (std::vector<BackupAction>{BackupAction::Copy, BackupAction::Copy}));
    EXPECT_EQ(plan.copyCount, 2);
    EXPECT_EQ(plan.copyBytes, 5100);
    EXPECT_EQ(plan.unchangedCount, 0);
}

TEST(BackupPlan, SecondBackupCopiesOnlyWhatChangedAndIgnoresCase) {
    const std::vector<BackupEntry> show = {File("demo.ws4", 100, kNoon + kSecond), Folder("Audio"),
                                           File("Audio\\intro.wav", 5000, kNoon), File("nieuw.jpg", 7, kNoon)};
    const std::vector<BackupEntry> backup = {File("DEMO.WS4", 100, kNoon), Folder("audio"),
                                             File("audio\\INTRO.wav", 5000, kNoon),
                                             File("weg.wav", 3, kNoon)};  // no longer in the show: stays
    const BackupPlan plan = PlanBackup(show, backup, "C:\\S\\", "E:\\S\\", BackupVolume{});
    EXPECT_TRUE(plan.folders.empty());
    EXPECT_EQ(Actions(plan),
              (std::vector<BackupAction>{BackupAction::Copy, BackupAction::Unchanged, BackupAction::Copy}));
    EXPECT_EQ(plan.copyBytes, 107);
    EXPECT_EQ(plan.unchangedCount, 1);
}

TEST(BackupPlan, SameSizeOtherTimeOrSameTimeOtherSizeIsCopied) {
    const std::vector<BackupEntry> show = {File("a.wav", 10, kNoon), File("b.wav", 10, kNoon)};
    const std::vector<BackupEntry> backup = {File("a.wav", 10, kNoon - 1), File("b.wav", 11, kNoon)};
    EXPECT_EQ(Actions(PlanBackup(show, backup, "C:\\S\\", "E:\\S\\", BackupVolume{})),
              (std::vector<BackupAction>{BackupAction::Copy, BackupAction::Copy}));
}

TEST(BackupPlan, FatKeepsTimesToTwoSecondsAndFilesBelowFourGigabytes) {
    const BackupVolume fat = VolumeFromFileSystem("FAT32");
    EXPECT_EQ(fat.maxFileSize, 4294967295LL);
    EXPECT_EQ(VolumeFromFileSystem("fat").timePrecision, 2 * kSecond);
    EXPECT_EQ(VolumeFromFileSystem("NTFS").timePrecision, 1u);
    EXPECT_EQ(VolumeFromFileSystem("NTFS").maxFileSize, INT64_MAX);
    EXPECT_EQ("4 GB", MaxFileSizeText(fat));
    EXPECT_EQ("4 GB", MaxFileSizeText(VolumeFromFileSystem("FAT16")));
    EXPECT_EQ("8,0 EB", MaxFileSizeText(VolumeFromFileSystem("NTFS")));

    // 12:00:01.3 on the show's disk is kept as 12:00:02 on a stick.
    const uint64_t shown = kNoon + 13 * kSecond / 10;
    const uint64_t kept = kNoon + 2 * kSecond;
    EXPECT_TRUE(SameWriteTime(shown, kept, fat.timePrecision));
    EXPECT_FALSE(SameWriteTime(shown, kept, VolumeFromFileSystem("NTFS").timePrecision));
    EXPECT_FALSE(SameWriteTime(kNoon, kNoon + 2 * kSecond, fat.timePrecision));

    const std::vector<BackupEntry> show = {File("a.wav", 10, shown), File("film.avi", 4294967296LL, kNoon),
                                           File("net.avi", 4294967295LL, kNoon)};
    const std::vector<BackupEntry> stick = {File("a.wav", 10, kept)};
    const BackupPlan plan = PlanBackup(show, stick, "C:\\S\\", "E:\\S\\", fat);
    EXPECT_EQ(Actions(plan),
              (std::vector<BackupAction>{BackupAction::Unchanged, BackupAction::TooLarge, BackupAction::Copy}));
    EXPECT_EQ(plan.refusedCount, 1);
    EXPECT_EQ(plan.copyBytes, 4294967295LL);
}

// After a change of daylight-saving time a FAT stick shows every copy an
// hour off: same size and an hour apart (to FAT's 2 seconds) lets the
// contents decide; anything else is what it was.
TEST(BackupPlan, AnHourApartWithTheSameSizeLetsTheContentsDecide) {
    const uint64_t hour = 3600 * kSecond;
    const std::vector<BackupEntry> show = {
        File("vooruit.wav", 10, kNoon),  File("terug.wav", 10, kNoon),      File("fat.wav", 10, kNoon),
        File("te ver.wav", 10, kNoon),    File("groter.wav", 11, kNoon),     File("gelijk.wav", 10, kNoon),
        File("twee uur.wav", 10, kNoon)};
    const std::vector<BackupEntry> stick = {
        File("vooruit.wav", 10, kNoon + hour),  File("terug.wav", 10, kNoon - hour),
        File("fat.wav", 10, kNoon + hour + kSecond),  // rounded up to FAT's step
        File("te ver.wav", 10, kNoon + hour + 2 * kSecond), File("groter.wav", 10, kNoon + hour),
        File("gelijk.wav", 10, kNoon),          File("twee uur.wav", 10, kNoon + 2 * hour)};
    BackupPlan plan = PlanBackup(show, stick, "C:\\S\\", "E:\\S\\", VolumeFromFileSystem("FAT32"));
    EXPECT_EQ(Actions(plan), (std::vector<BackupAction>{BackupAction::HourApart, BackupAction::HourApart,
                                                        BackupAction::HourApart, BackupAction::Copy,
                                                        BackupAction::Copy, BackupAction::Unchanged,
                                                        BackupAction::Copy}));
    EXPECT_FALSE(plan.files[0].hasOlder);
    EXPECT_EQ(3, plan.hourApartCount);
    EXPECT_EQ(4, plan.unchangedCount);
    EXPECT_EQ(3, plan.copyCount);
    EXPECT_EQ(31, plan.copyBytes);  // the space check does not count them

    EXPECT_EQ("De back-up komt in de map:\nE:\\S\\\nZekerpad kopieert de hele map van de show: ook het showbestand, "
              "de .tlg-bestanden en de andere bestanden in de map.\nTe kopiëren: 3 bestanden, 31 bytes (4 "
              "ongewijzigd). Vrij op de doelschijf: onbekend.\n3 bestanden staan in de back-up met een tijd die "
              "precies een uur verschilt (zomer- of wintertijd). Zekerpad leest ze en kopieert alleen wat echt "
              "veranderd is.\n3 bestanden veranderen; de oudere kopieën blijven bewaard bij de oudere versies.",
              BackupPlanText("E:\\S\\", plan, -1));
}

// A stick counts room in clusters: ten thousand files of 1 KB on 32 KB
// clusters take 320 MB, not 10 MB, and each name and folder a little more.
TEST(BackupPlan, EachFileTakesWholeClustersOnTheDestination) {
    std::vector<BackupEntry> show = {Folder("Plaatjes")};
    for (int i = 0; i < 10000; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Plaatjes\\f%05d.jpg", i);
        show.push_back(File(name, 1024, kNoon));
    }
    BackupVolume stick = VolumeFromFileSystem("FAT32");
    stick.clusterBytes = 32768;
    const BackupPlan plan = PlanBackup(show, {}, "C:\\S\\", "E:\\S\\", stick);
    EXPECT_EQ(10240000, plan.copyBytes);
    // 10,000 x 32,768 for the files, 10,000 x 96 for their names (three
    // entries of 32 bytes each), and the folder's first cluster and entry.
    EXPECT_EQ(328672864, plan.roomNeeded);
    EXPECT_EQ(0u, BackupPlanText("E:\\S\\", plan, 200000000)
                      .find("De back-up komt in de map:\nE:\\S\\\nZekerpad kopieert de hele map van de show: ook het "
                            "showbestand, de .tlg-bestanden en de andere bestanden in de map.\nTe kopiëren: 10.000 "
                            "bestanden, 9,8 MB. Vrij op de doelschijf: 191 MB.\nDat past niet: op de doelschijf is 314 "
                            "MB nodig (elk bestand krijgt daar ruimte in hele blokken van 32,0 kB, en er blijft 1 MB "
                            "extra vrij)."));
    EXPECT_EQ(std::string::npos, BackupPlanText("E:\\S\\", plan, 329672864).find("Dat past niet"));

    EXPECT_EQ(96, RoomForFile(0, "leeg.txt", 32768));  // an empty file takes no cluster
    EXPECT_EQ(32768 + 96, RoomForFile(32768, "Audio\\a.wav", 32768));
    EXPECT_EQ(65536 + 96, RoomForFile(32769, "a.wav", 32768));
    // 27 characters: three entries for the name, two more.
    EXPECT_EQ(4096 + 160, RoomForFile(10, "een-heel-lange-bestandsnaam", 4096));
    // 富士.wav is six units; a character past the plane counts two, so five
    // notes and ".mp3" are fourteen: two entries for the name.
    EXPECT_EQ(4096 + 96, RoomForFile(1, "\xE5\xAF\x8C\xE5\xA3\xAB.wav", 4096));
    EXPECT_EQ(4096 + 128, RoomForFile(1, "\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB5"
                                         "\xF0\x9F\x8E\xB5.mp3", 4096));
    EXPECT_EQ(32768 + 96, RoomForFolder("Plaatjes", 32768));
}

TEST(BackupPlan, PathsOverTheLimitAreRefusedAndAFolderInTheWayToo) {
    // 31,985 characters: the wide-character calls take far more than 259.
    const std::string root = "E:\\" + std::string(31981, 'b') + "\\";
    // 31,985 + 15 = 32,000 fits; the temporary name beside it needs as much.
    const std::string fits(15, 'f');
    const std::string tooLong(16, 'l');
    const std::vector<BackupEntry> show = {File(fits, 1, kNoon), File(tooLong, 1, kNoon),
                                           Folder("x"), File("x\\" + std::string(14, 'n'), 1, kNoon),
                                           File("map", 1, kNoon)};
    const std::vector<BackupEntry> backup = {Folder("map")};
    const BackupPlan plan = PlanBackup(show, backup, "C:\\S\\", root, BackupVolume{});
    EXPECT_EQ(Actions(plan), (std::vector<BackupAction>{BackupAction::Copy, BackupAction::TooLong,
                                                        BackupAction::TooLong, BackupAction::FolderInWay}));
    EXPECT_EQ(plan.refusedCount, 3);
    EXPECT_EQ(TempFileName(0xABCDEF12u).size(), kTempNameLength);
}

TEST(BackupDestination, WhereTheBackupGoesAndWhatIsRefused) {
    const std::string show = "C:\\Shows\\Demo\\";
    EXPECT_EQ(BackupRoot("E:\\", show), "E:\\Demo\\");
    EXPECT_EQ(BackupRoot("E:", show), "E:\\Demo\\");
    EXPECT_EQ(BackupRoot("E:\\Back-ups\\", show), "E:\\Back-ups\\Demo\\");
    EXPECT_EQ(BackupRoot("E:/Back-ups", show), "E:\\Back-ups\\Demo\\");

    EXPECT_EQ(DestinationProblemBySpelling("E:\\Back-ups", show), DestinationProblem::None);
    EXPECT_EQ(DestinationProblemBySpelling("C:\\Back-ups", show), DestinationProblem::None);
    EXPECT_EQ(DestinationProblemBySpelling("C:\\Shows\\Demo2", show), DestinationProblem::None);
    EXPECT_EQ(DestinationProblemBySpelling("", show), DestinationProblem::Empty);
    EXPECT_EQ(DestinationProblemBySpelling("c:\\shows\\demo", show), DestinationProblem::InsideShow);
    EXPECT_EQ(DestinationProblemBySpelling("C:\\Shows\\Demo\\Audio\\", show), DestinationProblem::InsideShow);
    // C:\Shows\Demo\ itself would be the back-up's folder.
    EXPECT_EQ(DestinationProblemBySpelling("C:\\Shows", show), DestinationProblem::ShowInside);
    // C:\Demo\ would hold the show's folder C:\Demo\Demo\ as "Demo".
    EXPECT_EQ(DestinationProblemBySpelling("C:\\", "C:\\Demo\\Demo\\"), DestinationProblem::ShowInside);
    EXPECT_EQ(DestinationProblemBySpelling("E:\\Back-ups", "C:\\"), DestinationProblem::ShowAtRoot);
    EXPECT_EQ(DestinationProblemBySpelling("E:\\" + std::string(32000, 'x'), show), DestinationProblem::TooLong);
    // The back-up's folder, not only the destination, must fit.
    EXPECT_EQ(DestinationProblemBySpelling("E:\\" + std::string(31992, 'x'), show), DestinationProblem::TooLong);
    EXPECT_EQ(DestinationProblemBySpelling("E:\\" + std::string(31991, 'x'), show), DestinationProblem::None);

    EXPECT_TRUE(SameDrive("c:\\a", "C:\\b"));
    EXPECT_FALSE(SameDrive("D:\\a", "C:\\b"));
    EXPECT_FALSE(SameDrive("\\\\server\\a", "C:\\b"));
}

// The record beside a back-up: what a user or certutil can read, and what
// the program reads back.
TEST(BackupRecord, LinesRoundTripWithNamesOfAnyCharacters) {
    BackupRecord record;
    record.showFolder = "C:\\Shows\\Kerst\\";
    record.files = {{"Plaatjes Krak\xC3\xB3w\\\xC5\x81\xC3\xB3" "d\xC5\xBA.jpg", 40000, kNoon + 1234567,
                     "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
                    {"Dvo\xC5\x99\xC3\xA1k - Largo.wav", 0, kNoon, std::string(64, 'a')}};
    const std::string text = FormatBackupRecord(record, &FakeChecksum);
    EXPECT_EQ(0u, text.find("\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: C:\\Shows\\Kerst\\\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("\r\nPlaatjes Krak\xC3\xB3w\\\xC5\x81\xC3\xB3" "d\xC5\xBA.jpg\t40000\t2024-05-01 04:00:00.1234567\t"
                        "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\r\n"));
    const std::optional<BackupRecord> back = ParseBackupRecord(text);
    ASSERT_TRUE(back);
    EXPECT_EQ("C:\\Shows\\Kerst\\", back->showFolder);
    ASSERT_EQ(2u, back->files.size());
    EXPECT_EQ("Dvo\xC5\x99\xC3\xA1k - Largo.wav", back->files[1].relative);
    EXPECT_EQ(40000, back->files[0].size);
    EXPECT_EQ(kNoon + 1234567, back->files[0].writeTime);
    EXPECT_EQ(std::string(64, 'a'), back->files[1].sha256);

    // A damaged line is no line; a text of another kind is no record.
    EXPECT_EQ(1u, ParseBackupRecord(text.substr(0, text.find("Einde van het overzicht") - 3))->files.size());
    EXPECT_FALSE(ParseBackupRecord("Map van de show: C:\\Shows\\Kerst\\\r\n"));
    EXPECT_FALSE(ParseRecordTime("2024-13-01 12:00:00.0000000"));
}

// A record proves itself: its last line counts the file lines and carries
// the checksum of everything above it; a record of the earlier version,
// without that line, is read but not known complete.
TEST(BackupRecord, ARecordKnowsWhetherItIsWholeAndWhetherItsRunWasComplete) {
    BackupRecord record;
    record.showFolder = "C:\\Shows\\Kerst\\";
    record.lastRun = RecordedRun::Incomplete;
    record.incompleteReason = "gestopt";
    record.files = {{"a.wav", 5, kNoon, std::string(64, 'a')}, {"b.jpg", 7, kNoon, std::string(64, 'b')}};
    const std::string text = FormatBackupRecord(record, &FakeChecksum);
    const std::string head = "\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: C:\\Shows\\Kerst\\\r\n"
                             "Laatste back-up: niet volledig (gestopt)\r\n";
    EXPECT_EQ(0u, text.find(head));
    const size_t sealAt = text.find("Einde van het overzicht: 2 bestandsregels, SHA-256 van alles hierboven: ");
    ASSERT_NE(std::string::npos, sealAt);
    EXPECT_EQ(text.size(), text.find("\r\n", sealAt) + 2);

    const std::optional<BackupRecord> back = ParseBackupRecord(text);
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->damaged);
    EXPECT_EQ(RecordedRun::Incomplete, back->lastRun);
    EXPECT_EQ("gestopt", back->incompleteReason);
    EXPECT_EQ(sealAt, back->sealedLength);
    EXPECT_EQ(FakeChecksum(text.substr(0, sealAt)), back->sealChecksum);
    record.lastRun = RecordedRun::Complete;
    EXPECT_EQ(RecordedRun::Complete, ParseBackupRecord(FormatBackupRecord(record, &FakeChecksum))->lastRun);

    // Cut at a line's end, cut inside a line, a file line taken out, a
    // damaged file line, a line after the seal: each is damaged.
    const size_t second = text.find("b.jpg");
    std::string lineOut = text;
    lineOut.erase(second, text.find("\r\n", second) + 2 - second);
    std::string badLine = text;
    badLine.replace(second + 6, 1, "x");
    const std::string afterSeal = text + "c.wav\t1\t2024-05-01 12:00:00.0000000\t" + std::string(64, 'c') + "\r\n";
    for (const std::string& broken : {text.substr(0, sealAt), text.substr(0, sealAt - 10), lineOut, badLine, afterSeal}) {
        const std::optional<BackupRecord> parsed = ParseBackupRecord(broken);
        ASSERT_TRUE(parsed);
        EXPECT_TRUE(parsed->damaged) << broken;
    }
    // A changed byte above the seal keeps the form; the checksum tells.
    std::string changed = text;
    changed[head.size() + 100] ^= 1;
    EXPECT_NE(FakeChecksum(changed.substr(0, sealAt)), ParseBackupRecord(changed)->sealChecksum);

    // The earlier version's record: read, not known complete, not damaged;
    // cut inside a line, it is damaged.
    const std::string earlier = "\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: C:\\Shows\\Kerst\\\r\nnotitie\r\n\r\n"
                                "a.wav\t5\t2024-05-01 04:00:00.0000000\t" + std::string(64, 'a') + "\r\n";
    const std::optional<BackupRecord> old = ParseBackupRecord(earlier);
    ASSERT_TRUE(old);
    EXPECT_EQ(RecordedRun::Unknown, old->lastRun);
    EXPECT_FALSE(old->damaged);
    EXPECT_EQ(1u, old->files.size());
    EXPECT_TRUE(ParseBackupRecord(earlier.substr(0, earlier.size() - 5))->damaged);

    // A time the record writes, it reads back: the year 30828 too.
    const uint64_t late = 0x7FFFFFFFFFFFFFFFULL;
    EXPECT_EQ("30828-09-14 02:48:05.4775807", FormatRecordTime(late));
    EXPECT_EQ(late, ParseRecordTime(FormatRecordTime(late)));
    EXPECT_FALSE(ParseRecordTime("99999-12-31 23:59:59.9999999"));
}

// A record cut after its first lines is damaged, not an earlier version:
// that one's head always ended in an empty line. Each damage has its reason.
TEST(BackupRecord, ARecordCutAfterItsFirstLinesIsDamagedWithItsReason) {
    const struct {
        const char* what;
        std::string text;
        const char* damage;
    } cases[] = {
        {"first line only", "\xEF\xBB\xBFZekerpad back-up\r\n", "het houdt op na de eerste regels"},
        {"two lines", "\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: C:\\Shows\\Kerst\\\r\n",
         "het houdt op na de eerste regels"},
        {"three lines, the earlier version's note",
         "Zekerpad back-up\r\nMap van de show: C:\\Shows\\Kerst\\\r\nDeze back-upmap hoort bij die show.\r\n",
         "het houdt op na de eerste regels"},
        {"the run line, no seal",
         "Zekerpad back-up\r\nMap van de show: C:\\K\\\r\nLaatste back-up: volledig\r\nnotitie\r\n\r\n",
         "het is afgebroken"},
        {"inside the run line", "Zekerpad back-up\r\nMap van de show: C:\\K\\\r\nLaatste back-up: volle",
         "het is afgebroken"},
        {"an unknown run", "Zekerpad back-up\r\nMap van de show: C:\\K\\\r\nLaatste back-up: half\r\n\r\n",
         "een regel is veranderd of beschadigd"},
    };
    for (const auto& c : cases) {
        const std::optional<BackupRecord> parsed = ParseBackupRecord(c.text);
        ASSERT_TRUE(parsed) << c.what;
        EXPECT_TRUE(parsed->damaged) << c.what;
        EXPECT_EQ(c.damage, parsed->damage) << c.what;
    }
    // The earlier version's head with no file lines at all is whole.
    const std::optional<BackupRecord> empty = ParseBackupRecord(
        "\xEF\xBB\xBFZekerpad back-up\r\nMap van de show: C:\\Shows\\Kerst\\\r\nnotitie\r\n\r\n");
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->damaged);
    EXPECT_EQ(RecordedRun::Unknown, empty->lastRun);
    EXPECT_FALSE(ParseBackupRecord("Zekerpad\r\n"));

    // The check's verdict names the reason; exit 1, not 3.
    BackupCheckResult result;
    result.hasRecord = true;
    result.recordDamaged = true;
    result.recordDamage = "het bestand is leeg";
    EXPECT_EQ("Het overzicht van de back-up is beschadigd (het bestand is leeg): niet na te gaan is of de "
              "back-up volledig en gaaf is. Maak de back-up opnieuw.\nGecontroleerd: 0 bestanden.\nElk bestand staat "
              "in het logboek C:\\Zekerpad.log.",
              BackupCheckText(result, "C:\\Zekerpad.log"));
}

// A check's findings beside the record, for the next back-up.
TEST(BackupRecord, CheckFindingsRoundTrip) {
    const std::vector<std::string> names = {"Audio\\intro.wav", "Plaatjes\\caf\xC3\xA9.jpg"};
    EXPECT_EQ(names, ParseCheckFindings(FormatCheckFindings(names)));
    EXPECT_TRUE(ParseCheckFindings("Zekerpad back-up\r\n\r\n\r\na.wav\r\n").empty());
    EXPECT_EQ("Demo - Zekerpad-controle.txt", CheckFindingsName("Demo"));
}

TEST(BackupRecord, TwoShowsOfOneNameGetTwoFolders) {
    // E:\Backup holds "Kerst" for C:\Shows\2023\Kerst and "Kerst (2)" for 2024.
    const auto look = [](const std::string& name) {
        BackupFolderState state;
        if (name == "Kerst") state = {true, false, std::string("C:\\Shows\\2023\\Kerst\\")};
        if (name == "Kerst (2)") state = {true, false, std::string("C:\\Shows\\2024\\Kerst\\")};
        if (name == "Kerst (3)") state = {true, false, std::nullopt};
        return state;
    };
    EXPECT_EQ("Kerst", ChooseBackupFolder("Kerst", "c:\\shows\\2023\\kerst", look).name);
    const BackupFolderChoice second = ChooseBackupFolder("Kerst", "C:\\Shows\\2024\\Kerst\\", look);
    EXPECT_EQ("Kerst (2)", second.name);
    EXPECT_TRUE(second.takenBy);
    EXPECT_FALSE(second.needsConsent);
    // A third show passes a full folder without a record that is not its own name.
    EXPECT_EQ("Kerst (4)", ChooseBackupFolder("Kerst", "D:\\Kerst\\", look).name);
    // Its own name, full, without a record: only after a question.
    EXPECT_TRUE(ChooseBackupFolder("Kerst (3)", "D:\\Kerst (3)\\", look).needsConsent);
}

// Names compare as Windows compares them: every letter with a capital, not
// only ASCII, so that a name changed only in case is the same file.
TEST(BackupPlan, NamesCompareAsWindowsDoesBeyondAscii) {
    const struct {
        const char* name;
        const char* key;
    } cases[] = {
        {"caf\xC3\xA9.jpg", "CAF\xC3\x89.JPG"},                                     // café
        {"\xC3\xBF\xC3\xA6\xC3\xB8\xC3\xB7", "\xC5\xB8\xC3\x86\xC3\x98\xC3\xB7"},  // ÿæø÷
        {"\xC5\x82\xC3\xB3\x64\xC5\xBA", "\xC5\x81\xC3\x93\x44\xC5\xB9"},          // łódź
        {"\xC4\x9F\xC4\xB3\xC5\x8B", "\xC4\x9E\xC4\xB2\xC5\x8A"},                   // ğĳŋ
        {"\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1\xCF\x82",                          // σοφίας
         "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91\xCE\xA3"},
        {"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD1\x91\xD1\x97",            // привет ёї
         "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2 \xD0\x81\xD0\x87"},
        {"\xD3\x82\xD3\x91\xD3\x8F", "\xD3\x81\xD3\x90\xD3\x80"},                   // ӂӑӏ
        // Dotless i and long s keep their own capital-less form, as there.
        {"\xC4\xB1\xC5\xBF", "\xC4\xB1\xC5\xBF"},
        // Past the table, and bytes that are no UTF-8, stay as they are.
        {"\xE5\xAF\x8C\xE5\xA3\xAB \xF0\x9F\x8E\xB5 \xFF\xC3", "\xE5\xAF\x8C\xE5\xA3\xAB \xF0\x9F\x8E\xB5 \xFF\xC3"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.key, NameKey(c.name)) << c.name;

    EXPECT_TRUE(SameFolderText("C:\\Shows\\D\xC3\xA9mo\\", "c:\\shows\\D\xC3\x89MO"));
    EXPECT_EQ(DestinationProblem::InsideShow,
              DestinationProblemBySpelling("C:\\Shows\\D\xC3\x89MO\\Audio", "C:\\Shows\\D\xC3\xA9mo\\"));
}

// Pairs written down from the code charts, not from the table: a small
// letter, its capital, and letters that have none.
TEST(BackupPlan, EveryLetterWithACapitalFoldsAsTheFileSystemsDo) {
    const struct {
        const char* name;
        const char* key;
    } cases[] = {
        {"\xC8\x99", "\xC8\x98"},                  // ș Ș (comma below, past U+0180)
        {"\xC7\x8E", "\xC7\x8D"},                  // ǎ Ǎ
        {"\xC5\x88", "\xC5\x87"},                  // ň Ň
        {"\xC3\xBE", "\xC3\x9E"},                  // þ Þ
        {"\xC3\xBF", "\xC5\xB8"},                  // ÿ Ÿ
        {"\xCF\x83\xCF\x82\xCE\xA3", "\xCE\xA3\xCE\xA3\xCE\xA3"},  // σ ς Σ: all three Σ
        {"\xC3\x9F", "\xC3\x9F"},                  // ß has no capital of one letter
        {"\xC9\x99\xC6\x80", "\xC6\x8F\xC9\x83"},      // ə Ə, ƀ Ƀ
        {"\xD5\xA1", "\xD4\xB1"},                  // Armenian ա Ա
        {"\xE1\xBA\xA1", "\xE1\xBA\xA0"},          // ạ Ạ (three bytes)
        {"\xE2\x85\xB0", "\xE2\x85\xA0"},          // roman numeral ⅰ Ⅰ
        {"\xEF\xBD\x81", "\xEF\xBC\xA1"},          // fullwidth ａ Ａ
        // A surrogate spelled in three bytes is no character: kept.
        {"\xED\xA0\x80", "\xED\xA0\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.key, NameKey(c.name)) << c.name;
    EXPECT_EQ(NameKey("\xC8\x98" "coala.jpg"), NameKey("\xC8\x99" "coala.JPG"));  // Școala.jpg, școala.JPG
}

// Școala.jpg renamed școala.jpg is the same file to the system: unchanged
// when nothing else changed, and a copy over its old spelling (kept as an
// older version) when it did, never a second file beside it.
TEST(BackupPlan, ANameChangedInCaseBeyondAsciiIsTheSameFile) {
    const std::vector<BackupEntry> show = {File("\xC8\x99" "coala.jpg", 10, kNoon),
                                           File("\xC5\x88" "oty.wav", 30, kNoon), Folder("\xC7\x8E" "udio"),
                                           File("\xC7\x8E" "udio\\intro.wav", 20, kNoon)};
    const std::vector<BackupEntry> backup = {File("\xC8\x98" "coala.jpg", 12, kNoon),
                                             File("\xC5\x87" "OTY.WAV", 30, kNoon), Folder("\xC7\x8D" "UDIO"),
                                             File("\xC7\x8D" "UDIO\\INTRO.wav", 20, kNoon)};
    const BackupPlan plan = PlanBackup(show, backup, "C:\\S\\", "E:\\S\\", BackupVolume{});
    EXPECT_EQ(Actions(plan),
              (std::vector<BackupAction>{BackupAction::Copy, BackupAction::Unchanged, BackupAction::Unchanged}));
    EXPECT_TRUE(plan.files[0].hasOlder);
    EXPECT_EQ(1, plan.olderCount);
    EXPECT_TRUE(plan.folders.empty());
}

// A folder of the show where the back-up has a file: one refusal for the
// folder, nothing planned below it; the rest goes on.
TEST(BackupPlan, AFileInTheWayOfAFolderIsRefusedOnceWithNothingBelowIt) {
    const std::vector<BackupEntry> show = {Folder("Licht"), File("Licht\\a.wav", 1, kNoon), Folder("Licht\\Oud"),
                                           File("Licht\\Oud\\b.wav", 2, kNoon), File("demo.ws4", 3, kNoon),
                                           Folder("Lichtjes"), File("Lichtjes\\c.wav", 4, kNoon)};
    const std::vector<BackupEntry> backup = {File("LICHT", 9, kNoon)};
    const BackupPlan plan = PlanBackup(show, backup, "C:\\Demo\\", "E:\\Demo\\", BackupVolume{});
    EXPECT_EQ(Actions(plan), (std::vector<BackupAction>{BackupAction::FileInWay, BackupAction::Copy,
                                                        BackupAction::Copy}));
    EXPECT_EQ(0u, plan.files[0].source);
    EXPECT_EQ(plan.folders, std::vector<std::string>{"Lichtjes"});
    EXPECT_EQ(1, plan.refusedCount);
    EXPECT_EQ(2, plan.copyCount);
    EXPECT_EQ(7, plan.copyBytes);
}

TEST(BackupRecord, AShowFolderUnderAnotherDriveLetterHasTheSamePathBelowIt) {
    EXPECT_TRUE(SamePathBelowDrive("D:\\Shows\\Demo\\", "g:\\shows\\demo"));
    EXPECT_FALSE(SamePathBelowDrive("D:\\Shows\\Demo\\", "G:\\Shows\\Demo 2\\"));
    EXPECT_FALSE(SamePathBelowDrive("\\\\pc\\Shows\\Demo\\", "G:\\Shows\\Demo\\"));
}

}  // namespace

// The plan line and the end of a run in the user's terms: the whole folder
// is copied (more files than the analysis counts, and it says why), nothing
// to copy reads as such, and a complete run says what to do next. The
// literals hold "ë" as written, so they match in either build's charset.
TEST(BackupPlan, ThePlanLineAndTheEndSayItInTheUsersTerms) {
    BackupPlan copy;
    copy.copyCount = 9;
    copy.copyBytes = 64067584;
    EXPECT_EQ("De back-up komt in de map:\nE:\\Demo\\\nZekerpad kopieert de hele map van de show: ook het showbestand, "
              "de .tlg-bestanden en de andere bestanden in de map.\nTe kopiëren: 9 bestanden, 61,1 MB. Vrij op de "
              "doelschijf: 954 MB.",
              BackupPlanText("E:\\Demo\\", copy, 1000000000));

    BackupPlan same;
    same.unchangedCount = 9;
    EXPECT_EQ("De back-up komt in de map:\nE:\\Demo\\\nEr is niets te kopiëren: alle 9 bestanden staan al ongewijzigd "
              "in de back-up. Vrij op de doelschijf: onbekend.",
              BackupPlanText("E:\\Demo\\", same, -1));
    same.unchangedCount = 1;
    EXPECT_EQ("De back-up komt in de map:\nE:\\Demo\\\nEr is niets te kopiëren: het bestand staat al ongewijzigd in de "
              "back-up. Vrij op de doelschijf: 954 MB.",
              BackupPlanText("E:\\Demo\\", same, 1000000000));
    // A file that cannot be copied is no "nothing to copy".
    same.refusedCount = 1;
    EXPECT_EQ(std::string::npos, BackupPlanText("E:\\Demo\\", same, -1).find("niets te kopi"));

    EXPECT_EQ("De back-up in de map:\nE:\\Demo\\\nis niet in orde (zie hieronder). Klik op Starten om hem opnieuw te "
              "maken, bij voorkeur in een doelmap op een andere schijf of USB-stick.",
              BackupPlanAfterFailedCheckText("E:\\Demo\\"));

    BackupOutcome done;
    done.copied = 9;
    done.copiedBytes = 64067584;
    EXPECT_EQ("De back-up is klaar en volledig. U kunt de USB-stick nu veilig verwijderen.\nGekopieerd: 9 bestanden "
              "(61,1 MB). Ongewijzigd: 0. Mislukt: 0.\nElk bestand staat in het logboek C:\\Zekerpad.log.",
              BackupSummaryText(done, "C:\\Zekerpad.log", true));
    EXPECT_EQ(0u, BackupSummaryText(done, "C:\\Zekerpad.log", false)
                      .find("De back-up is klaar en volledig. U kunt dit venster nu sluiten.\n"));
    // Not complete: no next step that reads as done.
    done.failed = 1;
    EXPECT_EQ(std::string::npos, BackupSummaryText(done, "C:\\Zekerpad.log", true).find("veilig verwijderen"));
}

#include <gtest/gtest.h>

#include "backup/backup_plan.h"

namespace {

constexpr uint64_t kSecond = 10000000;  // ticks
// 2024-05-01 12:00:00 UTC as the system counts it.
constexpr uint64_t kNoon = 133590096000000000ULL;

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

TEST(BackupPlan, PathsOverTheLimitAreRefusedAndAFolderInTheWayToo) {
    const std::string root = "E:\\" + std::string(240, 'b') + "\\";  // 244 characters
    // 244 + 15 = 259 fits; the temporary name beside it needs 244 + 15 too.
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
    EXPECT_EQ(BackupTempName(1), "~zk00000001.tmp");
    EXPECT_EQ(BackupTempName(0xABCDEF12u).size(), kBackupTempNameLength);
}

TEST(BackupDestination, WhereTheBackupGoesAndWhatIsRefused) {
    const std::string show = "C:\\Shows\\Demo\\";
    EXPECT_EQ(BackupRoot("E:\\", show), "E:\\Demo\\");
    EXPECT_EQ(BackupRoot("E:", show), "E:\\Demo\\");
    EXPECT_EQ(BackupRoot("E:\\Back-ups\\", show), "E:\\Back-ups\\Demo\\");
    EXPECT_EQ(BackupRoot("E:/Back-ups", show), "E:\\Back-ups\\Demo\\");

    EXPECT_EQ(CheckDestination("E:\\Back-ups", show), DestinationProblem::None);
    EXPECT_EQ(CheckDestination("C:\\Back-ups", show), DestinationProblem::None);
    EXPECT_EQ(CheckDestination("C:\\Shows\\Demo2", show), DestinationProblem::None);
    EXPECT_EQ(CheckDestination("", show), DestinationProblem::Empty);
    EXPECT_EQ(CheckDestination("c:\\shows\\demo", show), DestinationProblem::InsideShow);
    EXPECT_EQ(CheckDestination("C:\\Shows\\Demo\\Audio\\", show), DestinationProblem::InsideShow);
    // C:\Shows\Demo\ itself would be the back-up's folder.
    EXPECT_EQ(CheckDestination("C:\\Shows", show), DestinationProblem::ShowInside);
    // C:\Demo\ would hold the show's folder C:\Demo\Demo\ as "Demo".
    EXPECT_EQ(CheckDestination("C:\\", "C:\\Demo\\Demo\\"), DestinationProblem::ShowInside);
    EXPECT_EQ(CheckDestination("E:\\Back-ups", "C:\\"), DestinationProblem::ShowAtRoot);
    EXPECT_EQ(CheckDestination("E:\\" + std::string(256, 'x'), show), DestinationProblem::TooLong);
    // The back-up's folder, not only the destination, must fit.
    EXPECT_EQ(CheckDestination("E:\\" + std::string(251, 'x'), show), DestinationProblem::TooLong);
    EXPECT_EQ(CheckDestination("E:\\" + std::string(250, 'x'), show), DestinationProblem::None);

    EXPECT_TRUE(SameDrive("c:\\a", "C:\\b"));
    EXPECT_FALSE(SameDrive("D:\\a", "C:\\b"));
    EXPECT_FALSE(SameDrive("\\\\server\\a", "C:\\b"));
}

}  // namespace

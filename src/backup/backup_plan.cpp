#include "backup/backup_plan.h"

#include <unordered_map>
#include <unordered_set>

#include "common/text.h"
#include "files/free_space.h"
#include "files/temp_name.h"

namespace {
constexpr uint64_t kTicksPerSecond = 10000000;

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
    return folder;
}

// "Audio\" for "Audio\intro.wav"; empty for a file in the root.
std::string_view FolderPart(std::string_view relative) {
    const size_t slash = relative.rfind('\\');
    return slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash + 1);
}
}  // namespace

BackupVolume VolumeFromFileSystem(std::string_view fileSystemName) {
    const std::string name = UpperCasedAscii(fileSystemName);
    BackupVolume volume;
    if (name == "FAT" || name == "FAT12" || name == "FAT16" || name == "FAT32" || name == "VFAT") {
        volume.timePrecision = 2 * kTicksPerSecond;
        volume.maxFileSize = 0xFFFFFFFFLL;
    } else if (name == "EXFAT") {
        volume.timePrecision = kTicksPerSecond / 100;
    }
    return volume;
}

std::string MaxFileSizeText(const BackupVolume& volume) {
    return volume.maxFileSize == 0xFFFFFFFFLL ? std::string("4 GB") : FormatSize(volume.maxFileSize);
}

bool SameWriteTime(uint64_t a, uint64_t b, uint64_t precision) {
    const uint64_t difference = a > b ? a - b : b - a;
    return difference < (precision == 0 ? 1 : precision);
}

namespace {
// A name's length in UTF-16 units, as the folder entry keeps it.
size_t Utf16Length(std::string_view name) {
    size_t units = 0;
    for (const char c : name) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;  // a lead byte or ASCII
        if (byte >= 0xF0) ++units;          // past the plane: two units
    }
    return units;
}

int64_t EntryBytes(std::string_view relative) {
    const size_t slash = relative.rfind('\\');
    const size_t units = Utf16Length(slash == std::string_view::npos ? relative : relative.substr(slash + 1));
    return 32 * static_cast<int64_t>(2 + (units + 12) / 13);
}

int64_t Clusters(int64_t size, uint64_t clusterBytes) {
    const int64_t cluster = clusterBytes == 0 ? 1 : static_cast<int64_t>(clusterBytes);
    return size / cluster + (size % cluster != 0 ? 1 : 0);
}
}  // namespace

int64_t RoomForFile(int64_t size, std::string_view relative, uint64_t clusterBytes) {
    return Clusters(size, clusterBytes) * static_cast<int64_t>(clusterBytes == 0 ? 1 : clusterBytes) +
           EntryBytes(relative);
}

int64_t RoomForFolder(std::string_view relative, uint64_t clusterBytes) {
    return static_cast<int64_t>(clusterBytes == 0 ? 1 : clusterBytes) + EntryBytes(relative);
}

bool HourApart(uint64_t a, uint64_t b) {
    const uint64_t difference = a > b ? a - b : b - a;
    const uint64_t hour = 3600 * kTicksPerSecond;
    return SameWriteTime(difference, hour, 2 * kTicksPerSecond);
}

namespace {
// What to do with one file of the show, given what the back-up holds
// under its name (there: nothing).
BackupAction ActionFor(const BackupEntry& entry, const BackupEntry* there, const std::string& sourceRoot,
                       const std::string& targetRoot, const BackupVolume& volume) {
    const size_t tempLength = targetRoot.size() + FolderPart(entry.relative).size() + kTempNameLength;
    if (sourceRoot.size() + entry.relative.size() > kBackupMaxPath ||
        targetRoot.size() + entry.relative.size() > kBackupMaxPath || tempLength > kBackupMaxPath)
        return BackupAction::TooLong;
    if (there && there->isFolder) return BackupAction::FolderInWay;
    if (there && there->size == entry.size && SameWriteTime(there->writeTime, entry.writeTime, volume.timePrecision))
        return BackupAction::Unchanged;
    if (there && there->size == entry.size && HourApart(there->writeTime, entry.writeTime))
        return BackupAction::HourApart;
    if (entry.size > volume.maxFileSize) return BackupAction::TooLarge;
    return BackupAction::Copy;
}

void Count(BackupPlan& plan, BackupAction action, const BackupEntry& entry, bool hasOlder) {
    switch (action) {
    case BackupAction::Copy:
        ++plan.copyCount;
        plan.copyBytes += entry.size;
        plan.roomNeeded += RoomForFile(entry.size, entry.relative, plan.clusterBytes);
        if (hasOlder) ++plan.olderCount;
        break;
    case BackupAction::Unchanged:
        ++plan.unchangedCount;
        break;
    case BackupAction::HourApart:
        ++plan.unchangedCount;
        ++plan.hourApartCount;
        break;
    default:
        ++plan.refusedCount;
        break;
    }
}
}  // namespace

BackupPlan PlanBackup(const std::vector<BackupEntry>& source, const std::vector<BackupEntry>& target,
                      const std::string& sourceRoot, const std::string& targetRoot,
                      const BackupVolume& volume) {
    std::unordered_map<std::string, const BackupEntry*> existing;
    existing.reserve(target.size());
    for (const BackupEntry& entry : target) existing.emplace(NameKey(entry.relative), &entry);

    // Folders of the show that a file in the back-up stands in the way of,
    // and every folder below them: their contents are left out, not each
    // refused on its own.
    std::unordered_set<std::string> blocked;
    BackupPlan plan;
    plan.clusterBytes = volume.clusterBytes;
    for (size_t i = 0; i < source.size(); ++i) {
        const BackupEntry& entry = source[i];
        const std::string key = NameKey(entry.relative);
        const std::string_view parent = FolderPart(key);
        if (!parent.empty() && blocked.count(std::string(parent.substr(0, parent.size() - 1)))) {
            if (entry.isFolder) blocked.insert(key);
            continue;
        }
        const auto found = existing.find(key);
        const BackupEntry* there = found == existing.end() ? nullptr : found->second;
        if (entry.isFolder) {
            if (there && !there->isFolder) {
                blocked.insert(key);
                plan.files.push_back(PlannedFile{i, BackupAction::FileInWay});
                ++plan.refusedCount;
            } else if (!there && targetRoot.size() + entry.relative.size() <= kBackupMaxPath) {
                plan.folders.push_back(entry.relative);
                plan.roomNeeded += RoomForFolder(entry.relative, volume.clusterBytes);
            }
            continue;
        }
        const BackupAction action = ActionFor(entry, there, sourceRoot, targetRoot, volume);
        plan.files.push_back(PlannedFile{i, action, action == BackupAction::Copy && there != nullptr});
        Count(plan, action, entry, there != nullptr);
    }
    return plan;
}

std::string NormalizeFolder(const std::string& folder) {
    std::string work = folder;
    for (char& c : work)
        if (c == '/') c = '\\';
    if (work.size() >= 2 && work.back() == '\\' && work[work.size() - 2] != ':') work.pop_back();
    if (!work.empty() && work.back() == ':') work.push_back('\\');
    return work;
}

std::string ShowFolderName(const std::string& showFolder) {
    const std::string show = NormalizeFolder(showFolder);
    const size_t slash = show.rfind('\\');
    return slash == std::string::npos ? show : show.substr(slash + 1);
}

std::string BackupRoot(const std::string& destination, const std::string& showFolder,
                       const std::string& folderName) {
    return WithBackslash(NormalizeFolder(destination)) +
           (folderName.empty() ? ShowFolderName(showFolder) : folderName) + "\\";
}

DestinationProblem DestinationProblemBySpelling(const std::string& destination, const std::string& showFolder) {
    const std::string folder = NormalizeFolder(destination);
    if (folder.empty()) return DestinationProblem::Empty;
    const std::string show = WithBackslash(NormalizeFolder(showFolder));
    // "C:\" or "\\server\share\": a drive's root has no name of its own.
    const std::string trimmed = show.substr(0, show.size() - 1);
    if (trimmed.empty() || trimmed.back() == ':' || trimmed.find('\\') == std::string::npos)
        return DestinationProblem::ShowAtRoot;
    const std::string root = BackupRoot(folder, show);
    if (folder.size() > kBackupMaxPath || root.size() > kBackupMaxPath) return DestinationProblem::TooLong;
    const std::string showKey = NameKey(show);
    if (NameKey(WithBackslash(folder)).compare(0, showKey.size(), showKey) == 0) return DestinationProblem::InsideShow;
    const std::string rootKey = NameKey(root);
    if (showKey.compare(0, rootKey.size(), rootKey) == 0) return DestinationProblem::ShowInside;
    return DestinationProblem::None;
}

bool SameDrive(const std::string& a, const std::string& b) {
    return a.size() >= 2 && b.size() >= 2 && a[1] == ':' && b[1] == ':' && ToUpperAscii(a[0]) == ToUpperAscii(b[0]);
}

std::string FileCountText(int count) {
    return FormatThousands(count) + (count == 1 ? " bestand" : " bestanden");
}

bool BackupComplete(const BackupOutcome& outcome) {
    return outcome.refusal == BackupRefusal::None && !outcome.stopped && outcome.failed == 0 &&
           outcome.recordProblem.empty() && outcome.notHeld.empty();
}

std::string BackupSummaryText(const BackupOutcome& outcome, const std::string& logName, bool removableDestination) {
    std::string first;
    if (outcome.stopped)
        first = "De back-up is gestopt en is dus niet volledig.";
    else if (outcome.failed > 0)
        first = "De back-up is niet volledig: " + FileCountText(outcome.failed) +
                (outcome.failed == 1 ? " kon" : " konden") + " niet worden gekopieerd (zie de meldingen).";
    else if (!outcome.notHeld.empty())
        first = "De back-up is niet volledig: de show noemt " + FileCountText(static_cast<int>(outcome.notHeld.size())) +
                (outcome.notHeld.size() == 1 ? " dat niet in de back-up staat" : " die niet in de back-up staan") +
                " (zie het logboek). Analyseer de show opnieuw en maak dan de back-up opnieuw.";
    else if (!outcome.recordProblem.empty())
        first = "De back-up is niet volledig: het overzicht " + outcome.recordProblem +
                " kon niet worden geschreven (zie de melding).";
    else if (outcome.suspect > 0)
        // A file of the show itself looks damaged: the next step is a good
        // copy of it, not taking the stick away as if all were well.
        first = "De back-up is klaar en volledig.";
    else
        first = std::string("De back-up is klaar en volledig. ") +
                (removableDestination ? "U kunt de USB-stick nu veilig verwijderen." : "U kunt dit venster nu sluiten.");
    if (outcome.suspect > 0)
        first += "\nLet op: " + FileCountText(outcome.suspect) + (outcome.suspect == 1 ? " lijkt" : " lijken") +
                 " beschadigd (zie het logboek). Zet een goede kopie in de map van de show en maak de back-up "
                 "opnieuw.";
    return first + "\nGekopieerd: " + FileCountText(outcome.copied) + " (" + FormatSize(outcome.copiedBytes) +
           "). Ongewijzigd: " + FormatThousands(outcome.unchanged) +
           ". Mislukt: " + FormatThousands(outcome.failed) + ".\nElk bestand staat in het logboek " + logName + ".";
}

std::string BackupPlanText(const std::string& targetRoot, const BackupPlan& plan, int64_t freeBytes,
                           const std::string& takenName) {
    std::string text = "De back-up komt in de map:\n" + targetRoot;
    if (!takenName.empty())
        text += "\nDe map " + takenName + " daar hoort bij een andere show; die blijft onaangeroerd.";
    if (plan.copyCount == 0 && plan.refusedCount == 0 && plan.unchangedCount > 0 && plan.hourApartCount == 0) {
        text += "\nEr is niets te kopiëren: " +
                (plan.unchangedCount == 1 ? std::string("het bestand staat")
                                          : "alle " + FileCountText(plan.unchangedCount) + " staan") +
                " al ongewijzigd in de back-up.";
    } else {
        // The analysis counts the files the show names; a back-up takes the
        // whole folder, so its count is larger and says why.
        text += "\nZekerpad kopieert de hele map van de show: ook het showbestand, de .tlg-bestanden en de andere "
                "bestanden in de map.";
        text += "\nTe kopiëren: " + FileCountText(plan.copyCount) + ", " + FormatSize(plan.copyBytes);
        if (plan.unchangedCount > 0) text += " (" + FormatThousands(plan.unchangedCount) + " ongewijzigd)";
        text += ".";
    }
    text += " Vrij op de doelschijf: " + (freeBytes < 0 ? std::string("onbekend") : FormatSize(freeBytes)) + ".";
    // Said before Starten, in the numbers the refusal will give.
    const int64_t needed = plan.roomNeeded + kFreeSpaceMargin;
    if (freeBytes >= 0 && plan.roomNeeded > 0 && needed > freeBytes)
        text += "\nDat past niet: op de doelschijf is " + FormatSize(needed) + " nodig (" +
                (plan.clusterBytes > 1 ? "elk bestand krijgt daar ruimte in hele blokken van " +
                                             FormatSize(static_cast<int64_t>(plan.clusterBytes)) +
                                             ", en er blijft 1 MB extra vrij)."
                                       : "met 1 MB extra).");
    if (plan.hourApartCount > 0)
        text += "\n" + FileCountText(plan.hourApartCount) + (plan.hourApartCount == 1 ? " staat" : " staan") +
                " in de back-up met een tijd die precies een uur verschilt (zomer- of wintertijd). Zekerpad leest " +
                (plan.hourApartCount == 1 ? "het" : "ze") + " en kopieert alleen wat echt veranderd is.";
    if (plan.olderCount > 0)
        text += "\n" + FileCountText(plan.olderCount) + (plan.olderCount == 1 ? " verandert" : " veranderen") +
                "; de oudere " + (plan.olderCount == 1 ? "kopie blijft" : "kopieën blijven") +
                " bewaard bij de oudere versies.";
    if (plan.refusedCount > 0)
        text += "\n" + FileCountText(plan.refusedCount) + (plan.refusedCount == 1 ? " kan" : " kunnen") +
                " niet worden gekopieerd (pad te lang, bestand te groot of een map of bestand in de weg).";
    return text;
}

std::string BackupPlanAfterFailedCheckText(const std::string& targetRoot) {
    return "De back-up in de map:\n" + targetRoot +
           "\nis niet in orde (zie hieronder). Klik op Starten om hem opnieuw te maken, bij voorkeur in een doelmap "
           "op een andere schijf of USB-stick.";
}

bool BackupProven(const BackupCheckResult& r) {
    return r.hasRecord && !r.recordDamaged && !r.stopped && r.lastRun == RecordedRun::Complete &&
           r.missing.empty() && r.damaged.empty() && r.notHeld.empty();
}

std::string BackupCheckText(const BackupCheckResult& r, const std::string& logName) {
    const auto count = [](size_t n, const char* one, const char* more) {
        return FileCountText(static_cast<int>(n)) + (n == 1 ? one : more);
    };
    std::string text;
    if (!r.hasRecord) {
        text = "Bij deze back-up staat geen overzicht van Zekerpad; hij kan niet worden gecontroleerd.";
    } else if (r.recordDamaged) {
        text = "Het overzicht van de back-up is beschadigd" +
               (r.recordDamage.empty() ? std::string() : " (" + r.recordDamage + ")") +
               ": niet na te gaan is of de back-up volledig en gaaf is. Maak de back-up opnieuw.";
    } else if (BackupProven(r)) {
        text = "De back-up is in orde: elk bestand is van de schijf gelezen en gelijk aan het overzicht.";
    } else {
        std::vector<std::string> parts;
        if (!r.missing.empty()) parts.push_back(count(r.missing.size(), " ontbreekt", " ontbreken"));
        if (!r.damaged.empty()) parts.push_back(count(r.damaged.size(), " is beschadigd", " zijn beschadigd"));
        if (!r.notHeld.empty())
            parts.push_back(count(r.notHeld.size(), " dat de show noemt, staat", " die de show noemt, staan") +
                            " niet in de back-up");
        if (r.lastRun == RecordedRun::Incomplete)
            parts.push_back("de laatste back-up was niet volledig" +
                            (r.incompleteReason.empty() ? std::string() : " (" + r.incompleteReason + ")"));
        if (r.lastRun == RecordedRun::Unknown)
            parts.push_back("het overzicht is van een eerdere versie van Zekerpad, die niet bijhield of de back-up "
                            "volledig was");
        if (parts.empty()) {
            text = "De controle is gestopt; de back-up is dus niet volledig gecontroleerd.";
        } else {
            text = "De back-up is niet in orde: ";
            for (size_t i = 0; i < parts.size(); ++i)
                text += (i == 0 ? "" : i + 1 == parts.size() ? " en " : ", ") + parts[i];
            text += ".";
            if (r.stopped) text += " De controle is gestopt voordat alles gelezen was.";
            text += " Maak de back-up opnieuw.";
        }
    }
    return text + "\nGecontroleerd: " + FileCountText(r.checked) + ".\nElk bestand staat in het logboek " + logName + ".";
}

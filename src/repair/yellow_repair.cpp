#include "repair/yellow_repair.h"

#include <windows.h>

#include <set>

#include "files/file_helpers.h"
#include "files/file_kind.h"
#include "files/file_reference.h"
#include "files/free_space.h"
#include "files/path_split.h"
#include "files/recycle_bin.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "common/res_string.h"
#include "common/text.h"
#include "resource.h"

namespace {
// The files a repair run has already moved or copied, by where they really
// lie: a show may name one file twice, and the second reference then finds
// it gone or its target taken by the run's own work.
class HandledFiles {
public:
    bool Contains(const std::string& path) const { return m_keys.count(Key(path)) != 0; }
    void Add(const std::string& path) { m_keys.insert(Key(path)); }

private:
    static std::string Key(const std::string& path) {
        std::string key = FoldDotSegments(path);
        for (char& c : key) c = ToUpperAscii(c);
        return key;
    }
    std::set<std::string> m_keys;
};

// Paths the repairs build must fit the system's 260-character buffers;
// a longer one is refused, never cut.
bool Fits(const std::string& path) { return path.size() <= kMaxBuiltPath; }

bool Rename(const std::string& from, const std::string& to) {
    return Fits(from) && Fits(to) && ::MoveFileA(from.c_str(), to.c_str());
}

void ReportRenameFailure(const std::string& from, const std::string& to, HWND owner) {
    LogValue("stop", "rename niet gelukt");
    ShowMessage(LoadResString(IDS_ERR_RENAME) + from + "\nin\n" + to, owner);
}

// The .tlg companion of a moved sound file follows it when it exists.
// Returns false when it existed and stayed behind.
bool MoveCompanion(const CFileReference& rec, const std::string& folder, HWND owner) {
    const std::string from = CompanionSourcePath(rec);
    const std::string to = CompanionTargetPath(folder, rec);
    LogValue("tlg bron", from);
    LogValue("tlg doel", to);
    if (!FileExists(from)) return true;
    if (FileExists(to)) {
        LogValue("stop", "doel bestaat al");
        ShowMessage(LoadResString(IDS_ERR_EXISTS) + to, owner);
        return false;
    }
    if (!Rename(from, to)) {
        ReportRenameFailure(from, to, owner);
        return false;
    }
    LogValue(" ", "OK");
    return true;
}

// Deletes the old .tlg companion of a copied sound file: Wings computes a
// new one. Returns false when it existed and could not be deleted.
bool DeleteCompanion(const CFileReference& rec, HWND owner) {
    const std::string path = CompanionSourcePath(rec);
    LogValue("tlg", path);
    if (!FileExists(path)) return true;
    // A path too long to be built faithfully may name another file.
    if (!Fits(path) || !::DeleteFileA(path.c_str())) {
        LogValue("fout", "wissen niet gelukt");
        ShowMessage(LoadResString(IDS_ERR_DELETE_TLG) + path, owner);
        return false;
    }
    LogValue(" ", "wissen OK");
    return true;
}

void ReportCopyFailure(const std::string& from, const std::string& to, HWND owner) {
    LogLine("fout tijdens kopiëren");
    ShowMessage(LoadResString(IDS_ERR_COPY) + from + "\nnaar\n" + to, owner);
}

bool ClearSource(const CFileReference& rec, SourceAfterCopy mode, RepairOutcome& outcome, HWND owner) {
    if (mode == SourceAfterCopy::KeepAsBak) return Rename(rec.m_csPath, BackupPath(rec));
    // Another show may play the same file: the user can take it back.
    if (DriveHasRecycleBin(rec.m_csPath)) {
        if (!MoveToRecycleBin(rec.m_csPath, owner)) return false;
        AddPlace(outcome.recycledPlaces, SourcePlace(rec));
        return true;
    }
    if (!Fits(rec.m_csPath) || !::DeleteFileA(rec.m_csPath.c_str())) return false;
    AddPlace(outcome.purgedPlaces, SourcePlace(rec));
    return true;
}

// The target folder of a record, or null after telling the user that a
// show (which no repair may move) is among the records.
const std::string* FolderOrStop(const CFileReference& rec, const TargetFolders& folders, HWND owner) {
    const std::string* folder = TargetFolderOf(folders, rec.m_nKind);
    if (!folder) ShowMessage(LoadResString(IDS_ERR_SHOW_IN_YELLOW), owner);
    return folder;
}

std::string ResultText(int failedFiles, const char* success, const char* failedVerb,
                       const char* middle, const std::string& driveText, const char* rest,
                       const std::string& note = std::string()) {
    std::string first = success;
    if (failedFiles > 0) {
        first = failedFiles == 1 ? "1 bestand kon" : std::to_string(failedFiles) + " bestanden konden";
        first = std::string(failedVerb) + first + " niet worden " + middle + " (de meldingen en het logboek " +
                kRunLogPath + (failedFiles == 1 ? " noemen het)." : " noemen ze).");
    }
    if (!note.empty()) first += " " + note;
    return first +
           "\n\nU moet nu nog wel deze show openen in Wings. Dan zal Wings melden dat niet alle "
           "geluidsbestanden of afbeeldingen gelezen konden worden.Wings zal u vragen of er naar die "
           "bestanden gezocht moet worden.\nKies voor 'JA', en geef aan dat Wings moet zoeken op schijf: " +
           driveText + ". \n\n" + rest;
}
}  // namespace

RepairOutcome MoveYellow1Files(const CFileReferenceList& records, const std::string& showDrive,
                               const TargetFolders& folders, const RepairStep& step, HWND owner) {
    RepairOutcome outcome;
    HandledFiles moved;
    for (const auto& item : records) {
        if (!item || IsYellow2(*item, showDrive)) continue;
        const CFileReference& rec = *item;
        LogValue("bron", rec.m_csPath);
        step(rec);
        const std::string* folder = FolderOrStop(rec, folders, owner);
        if (!folder) {
            outcome.completed = false;
            return outcome;
        }
        const std::string target = TargetPath(*folder, rec);
        LogValue("doel", target);
        if (moved.Contains(rec.m_csPath)) {
            LogValue(" ", "al verplaatst");
            continue;
        }
        if (FileExists(target)) {
            LogValue("stop", "doelbestand bestaat al");
            ShowMessage(LoadResString(IDS_ERR_EXISTS) + target, owner);
            ++outcome.failedFiles;
            continue;
        }
        if (!Rename(rec.m_csPath, target)) {
            // The sound file stays, so its companion stays beside it.
            ReportRenameFailure(rec.m_csPath, target, owner);
            ++outcome.failedFiles;
            continue;
        }
        LogValue(" ", "OK");
        g_bRepairChanged = 1;
        moved.Add(rec.m_csPath);
        if (rec.m_nKind == kKindSound && !MoveCompanion(rec, *folder, owner)) ++outcome.failedFiles;
    }
    return outcome;
}

RepairOutcome CopyYellow2Files(const CFileReferenceList& records, const std::string& showDrive,
                               const TargetFolders& folders, SourceAfterCopy mode,
                               const RepairStep& step, HWND owner, const CopyProgressFn& onBytes) {
    RepairOutcome outcome;
    HandledFiles copied;
    for (const auto& item : records) {
        if (!item || !IsYellow2(*item, showDrive)) continue;
        const CFileReference& rec = *item;
        step(rec);
        LogValue("bron", rec.m_csPath);
        const std::string* folder = FolderOrStop(rec, folders, owner);
        if (!folder) {
            outcome.completed = false;
            return outcome;
        }
        const std::string target = TargetPath(*folder, rec);
        LogValue("doel", target);
        if (copied.Contains(rec.m_csPath)) {
            LogValue(" ", "al gekopieerd");
            continue;
        }
        if (FileExists(target)) {
            LogLine("doel bestaat al");
            ShowMessage(LoadResString(IDS_ERR_EXISTS) + target, owner);
            ++outcome.failedFiles;
            continue;
        }
        // The source is touched only once its copy is known to be whole.
        if (!Fits(target) || !CopyFileChunked(rec.m_csPath, target, onBytes)) {
            ReportCopyFailure(rec.m_csPath, target, owner);
            ++outcome.failedFiles;
            continue;
        }
        LogValue(" ", "kopie OK");
        g_bRepairChanged = 1;
        copied.Add(rec.m_csPath);
        bool whole = true;
        if (ClearSource(rec, mode, outcome, owner)) {
            LogValue(" ", "wissen/rename bron OK");
        } else {
            LogLine("FOUT bij verplaatsen/hernoemen");
            ShowMessage(LoadResString(mode == SourceAfterCopy::Delete ? IDS_ERR_DELETE : IDS_ERR_BAK_RENAME) +
                            rec.m_csPath,
                        owner);
            whole = false;
        }
        if (rec.m_nKind == kKindSound && !DeleteCompanion(rec, owner)) whole = false;
        // The result counts files: a source and its companion left are one.
        if (!whole) ++outcome.failedFiles;
    }
    return outcome;
}

bool CheckRoomForYellow2(const CFileReferenceList& records, const std::string& showDrive,
                         const std::string& showDir, HWND owner) {
    LogLine("Schijfruimte op doelschijf");
    const int64_t needed = NeededBytesForYellow2(records, showDrive);
    LogValue("nodig", std::to_string(needed));

    // A show without a drive letter (a network path) is asked about by its
    // folder: an empty name would ask about the current drive instead.
    const std::string where = showDrive.empty() ? showDir : showDrive;
    uint64_t freeBytes = 0;
    unsigned long error = 0;
    const bool known = g_pfnFreeSpace(where, &freeBytes, &error);
    LogValue("vrij", known ? std::to_string(freeBytes) : std::string("onbekend"));

    if (!known) {
        if (error == ERROR_CALL_NOT_IMPLEMENTED) {
            LogLine("Vrije schijfruimte niet berekenbaar (win95 te oud)");
            ShowMessage("Deze ondersteuning is (nog) niet beschikbaar voor gebruikers van de oudere versies "
                        "van Windows 95 (standaard en OSR 1).\n\nVoor deze actie is minimaal Windows 95 OSR "
                        "2 nodig.\n\nU zult het verplaatsen van de bestanden op een andere manier moeten "
                        "uitvoeren.\nMogelijk dat een latere versie van Zekerpad deze versie van Windiws "
                        "wel ondersteunt.",
                        owner);
        } else {
            LogLine("Vrije schijfruimte niet berekenbaar");
            const std::string drive =
                showDrive.empty() ? showDir : std::string(1, UpperDriveLetter(showDrive)) + ":";
            ShowMessage(LoadResString(IDS_ERR_FREESPACE) + drive, owner);
        }
        return false;
    }
    if (freeBytes <= static_cast<uint64_t>(needed) + static_cast<uint64_t>(kFreeSpaceMargin)) {
        LogLine("Onvoldoende schijfruimte vrij");
        ShowMessage(LoadResString(IDS_ERR_NO_SPACE), owner);
        return false;
    }
    return true;
}

std::string Yellow1ResultText(int failedFiles, const std::string& driveText) {
    return ResultText(failedFiles, "Het verplaatsen van de bestanden naar een veiligere plaats is gelukt.",
                      "Het verplaatsen van de bestanden is niet helemaal gelukt: ", "verplaatst", driveText,
                      "U kunt Wings starten met de knop hieronder.\n\nHet is mogelijk dat bij de andere stappen "
                      "binnen Zekerpad nog een keer wordt aangegeven dat de show opnieuw geopend moet worden "
                      "met Wings. U hoeft het nu niet te doen, maar ik raad het u wel aan.\n\n");
}

std::vector<std::string> Yellow2PlacesWithoutRecycleBin(const CFileReferenceList& records,
                                                        const std::string& showDrive) {
    std::vector<std::string> places;
    for (const auto& rec : records)
        if (rec && IsYellow2(*rec, showDrive) && !DriveHasRecycleBin(rec->m_csPath))
            AddPlace(places, SourcePlace(*rec));
    return places;
}

void LogWhereOriginalsGo(const CFileReferenceList& records, const std::string& showDrive) {
    std::vector<std::string> places;
    for (const auto& rec : records)
        if (rec && IsYellow2(*rec, showDrive)) AddPlace(places, SourcePlace(*rec));
    for (const auto& place : places)
        LogValue(DriveHasRecycleBin(place) ? "naar Prullenbak" : "geen Prullenbak, voorgoed wissen", place);
}

std::string Yellow2ResultText(int failedFiles, const std::string& driveText, const std::string& originalsNote) {
    return ResultText(failedFiles,
                      "Het verplaatsen/kopiëren van de bestanden naar een veiligere plaats is gelukt.",
                      "Het verplaatsen/kopiëren van de bestanden is niet helemaal gelukt: ",
                      "gekopieerd, gewist of hernoemd", driveText,
                      "Ook moet u in de Audio Pool de grafische bestanden opnieuw laten berekenen, omdat die "
                      "niet gekopieerd/verplaatst zijn.\n\nU kunt Wings starten met de knop hieronder.\n\nHet "
                      "is mogelijk dat bij de andere stappen binnen Zekerpad nog een keer wordt aangegeven dat "
                      "de show opnieuw geopend moet worden met Wings. U hoeft het nu dus niet te doen, maar ik "
                      "raad het u wel aan.\n\n",
                      originalsNote);
}

#include "analysis/show_scan.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <new>

#include "files/classify.h"
#include "files/file_helpers.h"
#include "files/file_kind.h"
#include "files/file_reference.h"
#include "files/path_split.h"
#include "analysis/chunk_scan.h"
#include "analysis/ref_scan.h"
#include "analysis/show_verdict.h"
#include "services/app_operations.h"
#include "services/state.h"
#include "common/system_error.h"
#include "common/win_raii.h"

void ResetScanResults() {
    g_nRed = g_nYellow = g_nGreen = 0;
    g_nOther = g_nYellow1 = g_nYellow2 = 0;
    g_nTotalBytes = 0;
    g_aNetworkPaths.clear();
    if (g_pApp) g_pApp->ClearResultLists();
}

namespace {
void PlaceOneReference(std::string_view ref, ShowResults& results, CPlacementSink* sink) {
    auto record = std::make_unique<CFileReference>();
    record->Inspect(std::string(ref));
    if (record->m_nKind == kKindOther) ++results.nOther;
    if (record->m_nExists == 1) results.totalBytes += record->m_nSize;

    int image = kImageYellow;
    CFileReferenceList* list = nullptr;
    // The colour comes from where the file really lies; the tree and
    // the repairs keep the reference as the show wrote it.
    ReferencePlace place = PlaceReference(record->m_nExists, ref, results.showDrive, results.showDir);
    std::string_view text = ref;
    switch (place.colour) {
    case RefColour::Red:
        ++results.nRed;
        image = kImageRed;
        list = &results.red;
        break;
    case RefColour::GreenInShowFolder:
        ++results.nGreen;
        image = kImageGreen;
        break;
    case RefColour::GreenInSubfolder:
        ++results.nGreen;
        image = kImageGreen;
        list = &results.green;
        text = place.relativeText;
        break;
    case RefColour::Yellow:
        ++results.nYellow;
        image = kImageYellow;
        list = &results.yellow;
        break;
    }
    if (sink) sink->OnPlaced(PlacedReference{*record, record->m_nKind, image, text});
    if (list) list->push_back(std::move(record));
}
}  // namespace

void PlaceReferences(const char* data, size_t n, ShowResults& results, CPlacementSink* sink) {
    ForEachReference(data, n, [&](std::string_view ref) { PlaceOneReference(ref, results, sink); });
}

Verdict WizardVerdict() {
    return VerdictOfCounts(g_nRed, g_nYellow, g_nGreen, g_aNetworkPaths.size(), DamagedFileCount());
}

LitLamp WizardLamp() { return LampOfVerdict(WizardVerdict()); }

void CountYellowByDrive(ShowResults& results) {
    results.nYellow1 = results.nYellow2 = 0;
    for (const auto& record : results.yellow) {
        if (!record) continue;
        if (IsYellow1(record->m_chDrive, results.showDrive))
            ++results.nYellow1;
        else
            ++results.nYellow2;
    }
}

ScanStatus OpenFailureStatus(uint32_t systemError) {
    switch (OpenRefusalOf(systemError)) {
    case OpenRefusal::Busy: return ScanStatus::InUse;
    case OpenRefusal::AccessDenied: return ScanStatus::AccessDenied;
    case OpenRefusal::Other: break;
    }
    return ScanStatus::OpenFailed;
}

ScanOutcome CheckShowFile(const std::string& path) {
    if (FileExists(path)) return {};
    if (!FilePresent(path)) return {ScanStatus::Missing, 0};
    // There, but not to be read: say what keeps it from being read.
    const uint32_t error = ReadOpenError(path);
    return {error == 0 ? ScanStatus::InUse : OpenFailureStatus(error), error};
}

namespace {
// Read and scanned a piece at a time; a megabyte keeps the reads few.
constexpr size_t kScanChunkBytes = 1 << 20;

// A show that could not be read to its end: the results as they stood
// before its first byte, with the show's own length in the total.
ScanOutcome Abandoned(ShowResults& results, uint64_t length, ScanOutcome outcome) {
    results.red.clear();
    results.yellow.clear();
    results.green.clear();
    results.networkPaths.clear();
    results.nRed = results.nYellow = results.nGreen = results.nOther = 0;
    results.totalBytes = static_cast<int64_t>(length);
    return outcome;
}
}  // namespace

ScanOutcome AnalyseShowInto(const std::string& path, ShowResults& results, CPlacementSink* sink) {
    // Split the resolved path: "C:demo.ws4" has no folder of its own, and
    // without one nothing could be recognised as lying beside the show.
    PathParts show = SplitPath(FullPathName(path));
    results.showDrive = std::move(show.drive);
    results.showDir = std::move(show.dir);

    UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const uint32_t error = static_cast<uint32_t>(::GetLastError());
        return {OpenFailureStatus(error), error};
    }
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(file.get(), &length))
        return {ScanStatus::ReadFailed, static_cast<uint32_t>(::GetLastError())};

    const uint64_t n = static_cast<uint64_t>(length.QuadPart);
    results.totalBytes += static_cast<int64_t>(n);

    // Read and scanned a piece at a time: a show of gigabytes, chosen by
    // mistake, takes no more memory than a small one.
    uint64_t got = 0;
    uint32_t readError = 0;
    try {
        ScanInChunks(
            kScanChunkBytes,
            [&](char* buffer, size_t max) -> size_t {
                DWORD read = 0;
                if (readError != 0 || got >= n) return 0;
                const DWORD want = static_cast<DWORD>(std::min<uint64_t>(max, n - got));
                if (!::ReadFile(file.get(), buffer, want, &read, nullptr)) {
                    readError = static_cast<uint32_t>(::GetLastError());
                    return 0;
                }
                got += read;
                return read;
            },
            [&](std::string_view ref) { PlaceOneReference(ref, results, sink); }, results.networkPaths);
    } catch (const std::bad_alloc&) {
        return Abandoned(results, n, {ScanStatus::NoMemory, ERROR_NOT_ENOUGH_MEMORY});
    }
    file.reset();
    // As before any reference was read: what a part of the show named
    // must not pass for the analysis of the show.
    if (readError != 0) return Abandoned(results, n, {ScanStatus::ReadFailed, readError});
    if (got < n) return Abandoned(results, n, {ScanStatus::ShortRead, 0});
    CountYellowByDrive(results);
    return {};
}

namespace {
void AppendAll(CFileReferenceList& to, CFileReferenceList& from) {
    for (auto& record : from) to.push_back(std::move(record));
}
}  // namespace

ScanOutcome AnalyseShowFile(const std::string& path, CPlacementSink* sink) {
    ShowResults results;
    const ScanOutcome outcome = AnalyseShowInto(path, results, sink);
    // Whatever was done, also by a failed analysis, is what the wizard has.
    g_szShowDrive = std::move(results.showDrive);
    g_szShowDir = std::move(results.showDir);
    AppendAll(g_aRedFiles, results.red);
    AppendAll(g_aYellowFiles, results.yellow);
    AppendAll(g_aGreenFiles, results.green);
    g_nRed += results.nRed;
    g_nYellow += results.nYellow;
    g_nGreen += results.nGreen;
    g_nOther += results.nOther;
    g_nYellow1 = results.nYellow1;
    g_nYellow2 = results.nYellow2;
    g_nTotalBytes += results.totalBytes;
    g_aNetworkPaths = std::move(results.networkPaths);
    return outcome;
}

std::string ScanFailureInShort(ScanStatus status) {
    switch (status) {
    case ScanStatus::Done: break;
    case ScanStatus::Missing: return "de show bestaat niet";
    case ScanStatus::InUse: return "in gebruik bij een ander programma";
    case ScanStatus::AccessDenied: return "geen toestemming om de show te lezen";
    case ScanStatus::OpenFailed: return "de show kan niet worden geopend";
    case ScanStatus::NoMemory: return "te weinig geheugen";
    case ScanStatus::ReadFailed: return "fout bij lezen";
    case ScanStatus::ShortRead: return "niet volledig gelezen";
    }
    return std::string();
}

std::string ScanFailureMessage(const ScanOutcome& outcome, const std::string& path) {
    std::string text, advice;
    switch (outcome.status) {
    case ScanStatus::Done:
        return text;
    case ScanStatus::Missing:
        text = "Het opgegeven Wings-bestand bestaat niet!";
        break;
    case ScanStatus::InUse:
        text = "De show is in gebruik bij een ander programma (bijvoorbeeld Wings) en kan nu niet "
               "worden gelezen.";
        advice = "Sluit de show in dat programma, of sluit het programma, en probeer het daarna opnieuw.";
        break;
    case ScanStatus::AccessDenied:
        text = "De toegang tot de show is geweigerd: u heeft geen toestemming om dit bestand te lezen.";
        advice = "Vraag de beheerder van deze computer om leesrechten op de show, of kies een andere show.";
        break;
    case ScanStatus::OpenFailed:
        text = "Het Wings-bestand kan niet worden geopend.";
        break;
    case ScanStatus::NoMemory:
        text = "Er is niet genoeg geheugen vrij om het Wings-bestand in te lezen.";
        break;
    case ScanStatus::ReadFailed:
        text = "FOUT bij lezen bestand";
        break;
    case ScanStatus::ShortRead:
        text = "Fout bij lezen van het bestand.";
        break;
    }
    if (!path.empty()) text += "\n" + path;
    if (outcome.systemError != 0) text += "\n\n" + SystemErrorText(outcome.systemError);
    if (!advice.empty()) text += "\n\n" + advice;
    return text;
}

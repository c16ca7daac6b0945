// The analysis of a show file without its window: read the show, make a
// record of every file it names, colour and count each one and put it into
// the result lists. The analysis page shows what this reports; the
// benchmark runs it without any window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/show_verdict.h"
#include "services/state.h"

class CFileReference;

// The result tree's pictures, in the order of the page's image list.
enum ResultImage {
    kImageFigure = 0,   // the show's node and "Overige bestanden"
    kImageNote = 1,     // "Geluidsbestanden"
    kImagePicture = 2,  // "Afbeeldingen"
    kImageRed = 3,
    kImageYellow = 4,
    kImageGreen = 5,
};

// One reference as the result tree shows it.
struct PlacedReference {
    const CFileReference& record;
    int group;              // the record's kind: a show goes beside the show's
                            // node, the others under their group node
    int image;              // kImageRed, kImageYellow or kImageGreen
    std::string_view text;  // the reference, or ".\Audio\b.wav" below the show
};

// Told of each reference once it is counted and placed, in show order. A
// record green in the show's own folder is discarded right after.
class CPlacementSink {
public:
    virtual void OnPlaced(const PlacedReference& placed) = 0;

protected:
    ~CPlacementSink() = default;
};

// What one analysis finds, kept apart from the wizard's shared results so
// that a show can be checked without disturbing the chosen one.
struct ShowResults {
    std::string showDrive;  // "C:"
    std::string showDir;    // "\Shows\Demo\"
    CFileReferenceList red, yellow, green;  // as g_aRedFiles and the others
    int32_t nRed = 0, nYellow = 0, nGreen = 0;
    int32_t nYellow1 = 0, nYellow2 = 0, nOther = 0;
    int64_t totalBytes = 0;
    std::vector<std::string> networkPaths;  // as FindNetworkPaths gives them
};

// Zeroes the counters and empties the three result lists (through g_pApp,
// which must be set).
void ResetScanResults();

// Makes a record of every reference in data[0, n), counts it, adds its size
// to the total and appends it to the list of its colour, all in results,
// whose showDrive and showDir (as SplitPath gives them) decide the colour.
// sink may be null.
void PlaceReferences(const char* data, size_t n, ShowResults& results, CPlacementSink* sink);

// nYellow1 and nYellow2 from the yellow list: on the show's drive or not.
void CountYellowByDrive(ShowResults& results);

// The verdict on the wizard's shared results (g_nRed and the others, and
// the network paths): what the closing page and the traffic light of every
// page go by.
Verdict WizardVerdict();
// The lamp for it; the application hands it to the traffic light.
LitLamp WizardLamp();

// Why a show could not be analysed.
enum class ScanStatus {
    Done,
    Missing,     // empty path, no such file, or a folder
    InUse,         // present, but held open by another program
    AccessDenied,  // present, but this user may not read it
    OpenFailed,    // present, but not to be opened for another reason
    NoMemory,    // no buffer for the whole file
    ReadFailed,  // the read itself failed
    ShortRead,   // fewer bytes arrived than the file is long
};

struct ScanOutcome {
    ScanStatus status = ScanStatus::Done;
    uint32_t systemError = 0;  // the system's error code, 0 when it gave none
};

// Whether the show can be analysed at all: Done when it exists and can be
// read; otherwise why not. The selection page's check and the analysis
// page's both ask this, so that both say the same.
ScanOutcome CheckShowFile(const std::string& path);

// The analysis proper, once the show is known to exist: the show's drive
// and folder, the file read in one piece, its length and the references'
// sizes into the total, every reference placed, the yellow ones split by
// drive. Touches nothing but results; on failure they hold what was done.
ScanOutcome AnalyseShowInto(const std::string& path, ShowResults& results, CPlacementSink* sink);

// The same for the wizard, once its results are reset: what was found goes
// into the shared results (g_szShowDrive, g_aRedFiles, g_nRed and the rest).
ScanOutcome AnalyseShowFile(const std::string& path, CPlacementSink* sink);

// The status of a show that is there but would not open, by the system's
// error code.
ScanStatus OpenFailureStatus(uint32_t systemError);

// The Dutch report of a failed analysis, naming the show and the system's
// reason.
std::string ScanFailureMessage(const ScanOutcome& outcome, const std::string& path);

// Why an analysis failed in a few words ("in gebruik bij een ander
// programma"), for a list of many shows; empty for Done.
std::string ScanFailureInShort(ScanStatus status);

// The analysis of a show file without its window: read the show, make a
// record of every file it names, colour and count each one and put it into
// the result lists. The analysis page shows what this reports; the
// benchmark runs it without any window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// Zeroes the counters and empties the three result lists (through g_pApp,
// which must be set).
void ResetScanResults();

// Makes a record of every reference in data[0, n), counts it, adds its size
// to the total and appends it to the list of its colour. showDrive and
// showDir are the show's parts as SplitPath gives them. sink may be null.
void PlaceReferences(const char* data, size_t n, const std::string& showDrive,
                     const std::string& showDir, CPlacementSink* sink);

// g_nYellow1 and g_nYellow2 from g_aYellowFiles: on the show's drive or not.
void CountYellowByDrive(const std::string& showDrive);

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

// The analysis proper, once the show is known to exist and the results are
// reset: the show's drive and folder into g_szShowDrive and g_szShowDir,
// the file read in one piece, its length and the references' sizes into
// g_nTotalBytes, every reference placed, the yellow ones split by drive.
ScanOutcome AnalyseShowFile(const std::string& path, CPlacementSink* sink);

// The status of a show that is there but would not open, by the system's
// error code.
ScanStatus OpenFailureStatus(uint32_t systemError);

// The Dutch report of a failed analysis, naming the show and the system's
// reason.
std::string ScanFailureMessage(const ScanOutcome& outcome, const std::string& path);

// The rows of a report, taken from an analysis as it places each reference,
// with what the wizard would do about each red and yellow one.
#pragma once

#include <string>
#include <vector>

#include "files/file_reference.h"
#include "analysis/show_scan.h"
#include "report/report_html.h"

// The names of the show's three subfolders, as the settings give them.
struct SubfolderNames {
    std::string audio, plaatjes, overige;
};

// Keeps every placed reference, also those green in the show's own folder
// that the wizard's lists do not keep. Passes each on to next, when given.
class CReportCollector : public CPlacementSink {
public:
    explicit CReportCollector(CPlacementSink* next = nullptr) : m_pNext(next) {}
    void OnPlaced(const PlacedReference& placed) override;
    void Clear() { m_placed.clear(); }
    void SetNext(CPlacementSink* next) { m_pNext = next; }

    // The report of the show once the analysis is complete. showDrive and
    // showDir are the show's parts as the analysis split them.
    ShowReport Report(const std::string& showPath, const std::string& showDrive, const std::string& showDir,
                      const ReportCounts& counts, const SubfolderNames& names) const;

private:
    // Only what the report shows: a copy of every record would cost the
    // check of many shows more than the analysis itself.
    struct Placed {
        ReportRow row;       // without colour and action yet
        int image;
        char chDrive;
        std::string leaf;    // name and extension of a yellow file
    };
    std::vector<Placed> m_placed;
    CPlacementSink* m_pNext;
};

ReportCounts CountsOf(const ShowResults& results);

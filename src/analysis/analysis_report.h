// The report of the analysed show, as the analysis page offers it with
// "Rapport opslaan...". The report writer lies above the analysis, so the
// page does not know it: the application registers a maker at start.
#pragma once

#include <memory>
#include <string>

#include "analysis/show_scan.h"

struct HWND__;

// Sees every placed reference of an analysis (passing each on to next) and
// saves the report of the last complete one.
class CAnalysisReport : public CPlacementSink {
public:
    virtual ~CAnalysisReport() = default;
    virtual void Clear() = 0;
    virtual void SetNext(CPlacementSink* next) = 0;
    // Asks where to save and writes the report of show.
    virtual void SaveAs(HWND__* owner, const std::string& show) = 0;
};

// Set by the application; without it the page offers no report.
using AnalysisReportMaker = std::unique_ptr<CAnalysisReport> (*)();
extern AnalysisReportMaker g_pfnMakeAnalysisReport;

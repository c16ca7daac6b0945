// The analysis page's report: every placed reference collected, saved as
// HTML where the user asks.
#pragma once

#include <memory>

#include "analysis/analysis_report.h"

std::unique_ptr<CAnalysisReport> MakeAnalysisReport();

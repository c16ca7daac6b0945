// Checking a show without the wizard: analysed read-only into a report of
// its own, leaving the chosen show and the shared results as they are.
// Used by "Alle shows controleren" and by the check for scripts.
#pragma once

#include <string>

#include "report/report_html.h"
#include "report/report_rows.h"

// The subfolder names as the wizard has them now.
SubfolderNames CurrentSubfolderNames();

// The counts of the wizard's current analysis.
ReportCounts WizardCounts();

// Analyses the show into a report; a show that cannot be read gives a
// report that says why. Changes no file and no shared value.
ShowReport CheckShow(const std::string& path, const SubfolderNames& names);

// A message on one line, as a verdict, a list cell or a log entry needs it.
std::string OneLine(const std::string& text);

// The run log's entry for one checked show, with its counts.
void LogCheckedShow(const ShowReport& report);

// The local date and time as the reports give it.
std::string ReportTimeNow();

// A back-up of every show of "Alle shows controleren" that has green
// light, one after the other, each into its own folder as the closing
// page's back-up makes it. Pure: what each show's line says and whether
// the whole run fits; the copying itself is the one back-up run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/show_verdict.h"
#include "backup/backup_plan.h"
#include "backup/backup_outcome.h"

enum class BackupAllState {
    Skipped,     // no green light: never backed up half
    NotStarted,  // the run was stopped before this show
    Complete,
    Incomplete,
    Refused,     // the destination was refused for this show (the log says why)
};

struct BackupAllLine {
    std::string show;  // the show file, code page
    BackupAllState state = BackupAllState::NotStarted;
    std::string reason;  // Incomplete: why; Skipped: the verdict in a few words
};

// "volledig", "niet volledig: gestopt", "overgeslagen: geen groen licht:
// rode bestanden".
std::string BackupAllLineText(const BackupAllLine& line);

// Why a run was not complete, in a few words, from its outcome.
std::string IncompleteReason(const BackupOutcome& outcome);

// The shows that fit, in order, when sizes[i] more bytes are needed for
// show i and freeBytes are free: each one that still fits is taken.
std::vector<size_t> ShowsThatFit(const std::vector<int64_t>& sizes, int64_t freeBytes);

// The line before Starten: how many shows, how many skipped, what is to
// copy and what is free (either < 0: not known yet).
std::string BackupAllPlanText(int green, int skipped, int64_t copyBytes, int64_t freeBytes);

// The summary at the end: "5 shows: 4 volledig, 1 niet volledig; 2
// overgeslagen zonder groen licht."
std::string BackupAllSummary(const std::vector<BackupAllLine>& lines);

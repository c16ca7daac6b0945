// Files being written that must not outlive an abrupt end of the program.
// A copy registers its open target while it writes; when Windows ends the
// session in the middle, the program marks every registered file for
// deletion and exits, and the system removes them as it closes the
// handles. Nothing half-written is left under any name.
#pragma once

#include <windows.h>

#include <string>

#include "common/win_raii.h"

class ScopedPartialFile {
public:
    // The handle must be open with DELETE access and outlive the guard.
    explicit ScopedPartialFile(HANDLE file) noexcept;
    ~ScopedPartialFile();
    ScopedPartialFile(const ScopedPartialFile&) = delete;
    ScopedPartialFile& operator=(const ScopedPartialFile&) = delete;

    // Marks every registered file to be deleted when its handle closes.
    static void MarkAllForDeletion() noexcept;

private:
    HANDLE m_hFile;
    ScopedPartialFile* m_pPrev;
};

// A new, empty file under a temporary name ("~zk" and a number, ".tmp") in
// folder (ending in a backslash, or empty for the current one), opened for
// writing and reading with DELETE access, so that a ScopedPartialFile can
// guard it; its path in *path. A file written so and then renamed is never
// seen half-written under its real name. An invalid handle, with the
// system's error set, when none could be made or the path would be longer
// than maxPath.
UniqueFile CreateTempFileIn(const std::string& folder, size_t maxPath, std::string* path);

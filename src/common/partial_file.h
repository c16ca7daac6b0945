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

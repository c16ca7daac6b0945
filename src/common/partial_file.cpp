#include "common/partial_file.h"

namespace {
// Only the user-interface thread writes files; a plain chain suffices.
ScopedPartialFile* s_pTop = nullptr;
}  // namespace

ScopedPartialFile::ScopedPartialFile(HANDLE file) noexcept : m_hFile(file), m_pPrev(s_pTop) {
    s_pTop = this;
}

ScopedPartialFile::~ScopedPartialFile() {
    // Guards end in reverse order of their start (they live on the stack).
    s_pTop = m_pPrev;
}

void ScopedPartialFile::MarkAllForDeletion() noexcept {
    for (ScopedPartialFile* g = s_pTop; g; g = g->m_pPrev) {
        FILE_DISPOSITION_INFO info{};
        info.DeleteFile = TRUE;
        ::SetFileInformationByHandle(g->m_hFile, FileDispositionInfo, &info, sizeof info);
    }
}

#include "common/partial_file.h"

#include <cstdint>
#include <cstdio>

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

UniqueFile CreateTempFileIn(const std::string& folder, size_t maxPath, std::string* path) {
    // One sequence for the whole process, started anywhere: two programs
    // writing into one folder rarely meet, and CREATE_NEW settles it.
    static uint32_t s_number = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[16];
        std::snprintf(name, sizeof name, "~zk%08X.tmp", static_cast<unsigned>(++s_number));
        *path = folder + name;
        if (path->size() > maxPath) {
            ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
            break;
        }
        UniqueFile file(::CreateFileA(path->c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) return file;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    path->clear();
    return UniqueFile();
}

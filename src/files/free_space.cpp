#include "files/free_space.h"

#include <windows.h>

bool QueryFreeSpace(const std::string& directory, uint64_t* freeBytes, unsigned long* error) {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExA(directory.c_str(), &available, nullptr, nullptr)) {
        *error = ::GetLastError();
        return false;
    }
    *freeBytes = available.QuadPart;
    return true;
}

FreeSpaceFn g_pfnFreeSpace = &QueryFreeSpace;

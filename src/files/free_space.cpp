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

bool QueryClusterSize(const std::wstring& volumeRoot, uint64_t* clusterBytes) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!::GetDiskFreeSpaceW(volumeRoot.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return false;
    *clusterBytes = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
    return *clusterBytes > 0;
}

ClusterSizeFn g_pfnClusterSize = &QueryClusterSize;

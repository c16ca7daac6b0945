// How many bytes a folder's drive still has for the current user. Tests
// replace the query through g_pfnFreeSpace: no real disk can be made to
// have exactly the figure a test needs.
#pragma once

#include <cstdint>
#include <string>

// True with *freeBytes set, or false with *error set to the system's
// error code.
using FreeSpaceFn = bool (*)(const std::string& directory, uint64_t* freeBytes, unsigned long* error);
extern FreeSpaceFn g_pfnFreeSpace;

// The real query (GetDiskFreeSpaceExA), for tests that restore it.
bool QueryFreeSpace(const std::string& directory, uint64_t* freeBytes, unsigned long* error);

// The unit a drive gives a file room in (its cluster: sectors per cluster
// times bytes per sector), for the root of a volume ("E:\\"). Tests replace
// the query through g_pfnClusterSize: no disk of 32 KB clusters can be made
// under Wine without mounting one.
using ClusterSizeFn = bool (*)(const std::wstring& volumeRoot, uint64_t* clusterBytes);
extern ClusterSizeFn g_pfnClusterSize;

// The real query (GetDiskFreeSpaceW).
bool QueryClusterSize(const std::wstring& volumeRoot, uint64_t* clusterBytes);

// What a drive must keep free beyond the bytes a copy needs, so that a
// copy never fills it to the last byte.
constexpr int64_t kFreeSpaceMargin = 1000000;

// File and path helpers shared by the analysis, the selection, the
// launcher and the repairs.
#pragma once

#include <cstdint>
#include <string>

// True when the path names a file that can be opened for reading.
// Folders, locked and unreadable files count as absent.
bool FileExists(const std::string& path);

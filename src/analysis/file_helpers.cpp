#include "analysis/file_helpers.h"

#include <cstdio>

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

#include "files/temp_name.h"

#include <cstdio>

std::string TempFileName(uint32_t number) {
    char name[kTempNameLength + 1];
    std::snprintf(name, sizeof name, "~zk%08X.tmp", static_cast<unsigned>(number));
    return name;
}

bool IsTempFileName(std::string_view name) {
    if (name.size() != kTempNameLength || name.substr(0, 3) != "~zk" || name.substr(11) != ".tmp") return false;
    for (char c : name.substr(3, 8))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

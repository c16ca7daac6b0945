#include "files/file_kind.h"

#include <cstdint>

#include "common/text.h"

namespace {

// Numbered image sequences (.001, .12): digits only, and a value above
// zero taken as a signed 32-bit number that wraps on overflow.
bool IsFrameNumber(std::string_view digits)
{
    if (digits.empty())
        return false;
    uint32_t value = 0;  // unsigned, so the wrap-around is well defined
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10u + static_cast<uint32_t>(c - '0');
    }
    // Above zero as a signed 32-bit number.
    return value != 0 && value <= static_cast<uint32_t>(INT32_MAX);
}

}  // namespace

int FileKindOfExtension(std::string_view ext)
{
    if (StartsWithNoCaseAscii(ext, ".ws4"))
        return kKindShow;
    if (StartsWithNoCaseAscii(ext, ".wav") || StartsWithNoCaseAscii(ext, ".mp3"))
        return kKindSound;
    for (std::string_view image : {".bmp", ".jpg", ".tif", ".psd", ".gif"}) {
        if (StartsWithNoCaseAscii(ext, image))
            return kKindImage;
    }
    if (!ext.empty() && ext[0] == '.' && IsFrameNumber(ext.substr(1)))
        return kKindImage;
    return kKindOther;
}

// What kind of file a show names, judged by its extension alone.
#pragma once

#include <string_view>

enum FileKind {
    kKindShow = 0,   // another show (.ws4)
    kKindSound = 1,  // .wav, .mp3
    kKindImage = 2,  // .bmp .jpg .tif .psd .gif and numbered frames (.001)
    kKindOther = 3,  // everything else, no extension included
};

// ext is an extension as SplitPath gives it: with its dot, or empty.
// Only its first four characters count (ASCII case folded), so .WAVE is
// sound and .jpeg is not an image.
int FileKindOfExtension(std::string_view ext);

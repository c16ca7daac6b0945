// How a fuzzer input for the content check is laid out, shared by the
// fuzzer and the program that writes its seeds: the first byte picks the
// file's extension, the second how the bytes are chunked, the rest is the
// file.
#pragma once

#include <cstddef>

inline const char* const kFuzzMediaExtensions[] = {"jpg", "png", "gif", "bmp", "tif", "wav", "avi", "mp3",
                                                    "wma", "ogg", "mp4", "mov", "m4a", "wmv", "xyz", "aac", "mkv",
                                                    "flac", "webm"};
constexpr size_t kFuzzMediaExtensionCount = sizeof kFuzzMediaExtensions / sizeof kFuzzMediaExtensions[0];

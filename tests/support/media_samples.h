// Small media files made in code, one of every kind whose contents the
// program checks, for tests, the fuzzer's seeds and the benchmark. Pure:
// no <windows.h>, so it builds natively and under MinGW alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "media/content_check.h"

enum class MediaSample { Jpeg, Png, Gif, Bmp, Tiff, Wav, Avi, Mp3, Wma, Ogg, Mp4Avc, Mp4Hevc };

// Every kind, in the order above.
const std::vector<MediaSample>& AllMediaSamples();

// A good, whole file of that kind: a few hundred bytes, or about `bulk`
// bytes more of picture, sound or video data (the benchmark's large files).
std::vector<uint8_t> SampleMedia(MediaSample kind, size_t bulk = 0);

// The extension such a file usually has, without the dot: "jpg".
const char* SampleExtension(MediaSample kind);

// Damaged files: the good one cut to its first `keep` bytes, or with one
// byte changed, or `size` zero bytes.
std::vector<uint8_t> CutMedia(std::vector<uint8_t> bytes, size_t keep);
std::vector<uint8_t> ChangeByte(std::vector<uint8_t> bytes, size_t at);
std::vector<uint8_t> ZeroMedia(size_t size);

// The checksums of PNG, Ogg and FLAC's frames, bit by bit as their formats
// define them.
uint32_t ReferencePngCrc(const std::vector<uint8_t>& bytes);
uint32_t ReferenceOggCrc(const std::vector<uint8_t>& bytes);
uint32_t ReferenceFlacCrc16(const std::vector<uint8_t>& bytes);

// The program's check over bytes fed in chunks of `chunk` bytes (0: all
// at once), as a file of that extension.
ContentFinding CheckMedia(const std::vector<uint8_t>& bytes, const std::string& extension, size_t chunk = 0);

// One parser for each kind of file whose structure this program checks.
// Each is fed the whole file from its first byte on (see stream_parser.h).
#pragma once

#include <cstdint>
#include <memory>

#include "media/stream_parser.h"

std::unique_ptr<CStreamParser> MakeJpegParser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakePngParser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakeGifParser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakeBmpParser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakeTiffParser(uint64_t fileSize);
// wave: the RIFF form must be "WAVE" (with its sound format and data); else "AVI ".
std::unique_ptr<CStreamParser> MakeRiffParser(uint64_t fileSize, bool wave);
std::unique_ptr<CStreamParser> MakeMp3Parser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakeOggParser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakeAsfParser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakeMp4Parser(uint64_t fileSize);
// FLAC and AAC in ADTS frames, each after any ID3v2 tags; a file that is
// not of that kind after them is Broken.
std::unique_ptr<CStreamParser> MakeFlacParser(uint64_t fileSize);
std::unique_ptr<CStreamParser> MakeAdtsParser(uint64_t fileSize);
// Matroska and WebM; another EBML document type is NotJudged.
std::unique_ptr<CStreamParser> MakeMatroskaParser(uint64_t fileSize);

// Four bytes that begin an MPEG audio frame (sync, version, layer, rates).
bool IsMpegAudioFrame(const uint8_t* header);

// The size of an ID3v2 tag after its ten bytes of header, from its version
// and the flag and size bytes that follow it (a v2.4 footer counted);
// false when they are not a tag's.
bool Id3v2Size(uint8_t version, const uint8_t* flagsAndSize, uint64_t& size);

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

// Four bytes that begin an MPEG audio frame (sync, version, layer, rates).
bool IsMpegAudioFrame(const uint8_t* header);

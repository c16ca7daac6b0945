// The byte layout of run log entries. Every entry ends in LF CR (in that
// order): earlier runs wrote it so, and readers of old logs expect it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::string FormatLogLine(std::string_view text);
std::string FormatLogValue(std::string_view label, std::string_view value);
std::string FormatLogNumber(std::string_view label, int32_t number);

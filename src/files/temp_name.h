// The name a file gets while it is being written: "~zk0000ABCD.tmp" in the
// folder of its real name. Every writer of the program uses this one form,
// so that a run that finds such a file left by an interrupted one knows it
// for what it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr size_t kTempNameLength = 15;

// "~zk" with the number in eight upper-case hex digits, and ".tmp".
std::string TempFileName(uint32_t number);
bool IsTempFileName(std::string_view name);

#include "services/log_format.h"

namespace {
constexpr std::string_view kEnd = "\n\r";
constexpr std::string_view kArrow = "-> ";
constexpr std::string_view kSeparator = " - ";
}  // namespace

std::string FormatLogLine(std::string_view text) {
    std::string entry;
    entry.reserve(text.size() + kEnd.size());
    entry.append(text).append(kEnd);
    return entry;
}

std::string FormatLogValue(std::string_view label, std::string_view value) {
    std::string entry;
    entry.reserve(kArrow.size() + label.size() + kSeparator.size() + value.size() + kEnd.size());
    entry.append(kArrow).append(label).append(kSeparator).append(value).append(kEnd);
    return entry;
}

std::string FormatLogNumber(std::string_view label, int32_t number) {
    return FormatLogValue(label, std::to_string(number));
}

#include "common/text.h"

char ToUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string UpperCasedAscii(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        c = ToUpperAscii(c);
    return upper;
}

bool EqualsNoCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && StartsWithNoCaseAscii(a, b);
}

bool StartsWithNoCaseAscii(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (ToUpperAscii(text[i]) != ToUpperAscii(prefix[i]))
            return false;
    }
    return true;
}

std::string FormatThousands(int64_t n)
{
    // Group the magnitude only, so that -100 does not come out as "-.100".
    // Unsigned arithmetic also gives INT64_MIN its true magnitude.
    const uint64_t magnitude =
        n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
    const std::string digits = std::to_string(magnitude);

    std::string_view rest(digits);
    std::string result;
    while (rest.size() > 3) {
        result.insert(0, rest.substr(rest.size() - 3));
        result.insert(0, 1, '.');
        rest.remove_suffix(3);
    }
    result.insert(0, rest);
    if (n < 0)
        result.insert(0, 1, '-');
    return result;
}

std::string FormatSize(int64_t bytes) {
    if (bytes < 1024) return FormatThousands(bytes) + (bytes == 1 ? " byte" : " bytes");
    static const char* const kUnits[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
    // The next unit takes over at 1000 of this one, so no figure needs a
    // thousands dot: 1000 kB reads "1,0 MB".
    double value = static_cast<double>(bytes) / 1024.0;
    size_t unit = 0;
    while (value >= 999.5 && unit + 1 < sizeof kUnits / sizeof kUnits[0]) {
        value /= 1024.0;
        ++unit;
    }
    // One decimal below 100, rounded half up; whole numbers from there.
    const int64_t tenths = static_cast<int64_t>(value * 10.0 + 0.5);
    std::string text = tenths >= 1000 ? std::to_string(static_cast<int64_t>(value + 0.5))
                                      : std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
    return text + " " + kUnits[unit];
}

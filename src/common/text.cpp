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

namespace {
// The capital of a character below U+0500, or the character itself.
char32_t UpperOf(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
    if (c < 0x100) {
        if (c == 0xB5)
            return 0x39C;  // micro sign: Greek capital mu
        if (c == 0xFF)
            return 0x178;
        return (c >= 0xE0 && c <= 0xFE && c != 0xF7) ? c - 0x20 : c;
    }
    // Latin Extended-A: pairs, the capital first (from U+0139 to U+0148 and
    // from U+0179 on, the capital is the odd one).
    if (c < 0x180) {
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x178 || c == 0x17F)
            return c;
        const bool oddCapital = (c >= 0x139 && c <= 0x148) || c >= 0x179;
        return ((c & 1) == (oddCapital ? 0u : 1u)) ? c - 1 : c;
    }
    if (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2)
        return c - 0x20;
    switch (c) {
    case 0x3C2: return 0x3A3;  // final sigma
    case 0x3AC: return 0x386;
    case 0x3AD: case 0x3AE: case 0x3AF: return c - 0x25;
    case 0x3CC: return 0x38C;
    case 0x3CD: case 0x3CE: return c - 0x3F;
    case 0x4CF: return 0x4C0;
    default: break;
    }
    if (c >= 0x3D8 && c <= 0x3EF)
        return (c & 1) ? c - 1 : c;
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20;
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x4FF))
        return (c & 1) ? c - 1 : c;
    if (c >= 0x4C1 && c <= 0x4CE)
        return (c & 1) ? c : c - 1;
    return c;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}
}  // namespace

std::string NameKey(std::string_view utf8)
{
    std::string key;
    key.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        // Only two-byte sequences reach the letters folded here; longer
        // ones and stray bytes are copied as they are.
        if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size() &&
            (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            const char32_t c = (static_cast<char32_t>(lead & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
            AppendUtf8(key, UpperOf(c));
            ++i;
        } else {
            key.push_back(lead < 0x80 ? static_cast<char>(UpperOf(lead)) : utf8[i]);
        }
    }
    return key;
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

std::string QuotedArgument(std::string_view argument) {
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote; there they are doubled and
        // the quote itself escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + '"';
}

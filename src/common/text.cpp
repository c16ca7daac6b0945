#include "common/text.h"

#include <algorithm>
#include <iterator>

#include "common/upcase_table.h"

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

char32_t NameUpper(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
    if (c > 0xFFFF)
        return c;
    const upcase::Pair* first = std::begin(upcase::kPairs);
    const upcase::Pair* last = std::end(upcase::kPairs);
    const upcase::Pair* found = std::lower_bound(
        first, last, c, [](const upcase::Pair& p, char32_t value) { return p.from < value; });
    return found != last && found->from == c ? found->to : c;
}

namespace {
void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The character of the Basic Multilingual Plane (no surrogate) that a
// well-formed sequence of two or three bytes at utf8[i] spells, and its
// length; 0 for anything else, which the key keeps byte for byte.
size_t DecodeBmp(std::string_view utf8, size_t i, char32_t& c)
{
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    if (lead >= 0xC2 && lead <= 0xDF && i + 1 < utf8.size() && IsContinuation(utf8[i + 1])) {
        c = (static_cast<char32_t>(lead & 0x1F) << 6) | (utf8[i + 1] & 0x3F);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF && i + 2 < utf8.size() && IsContinuation(utf8[i + 1]) &&
        IsContinuation(utf8[i + 2])) {
        c = (static_cast<char32_t>(lead & 0x0F) << 12) | (static_cast<char32_t>(utf8[i + 1] & 0x3F) << 6) |
            (utf8[i + 2] & 0x3F);
        if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))
            return 0;  // overlong, or half of a pair
        return 3;
    }
    return 0;
}
}  // namespace

std::string NameKey(std::string_view utf8)
{
    std::string key;
    key.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        char32_t c = 0;
        const size_t length = lead < 0x80 ? 0 : DecodeBmp(utf8, i, c);
        if (length == 0) {
            // ASCII, a character past the plane (the system folds no
            // surrogate), or a byte that is no UTF-8: kept as it is.
            key.push_back(lead < 0x80 ? static_cast<char>(NameUpper(lead)) : utf8[i]);
            ++i;
            continue;
        }
        AppendUtf8(key, NameUpper(c));
        i += length;
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

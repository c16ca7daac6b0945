// Text helpers shared by the whole program. Paths and texts are 8-bit
// strings in the Windows ANSI code page; only the ASCII letters A-Z fold,
// so bytes such as 0xEB (e diaeresis) must match exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// 'a'..'z' become 'A'..'Z'; every other byte is returned unchanged.
char ToUpperAscii(char c);

// The text with its ASCII letters upper-cased: a key for a set of paths
// that compares as EqualsNoCaseAscii does.
std::string UpperCasedAscii(std::string_view text);

// Same length and the same bytes once ASCII letters are folded.
bool EqualsNoCaseAscii(std::string_view a, std::string_view b);

// text begins with prefix, ASCII letters folded. An empty prefix always fits.
bool StartsWithNoCaseAscii(std::string_view text, std::string_view prefix);

// Which key: text from a show or the INI (code page) compares as the
// analysis prescribes, ASCII letters only (the functions above). Every name
// from the disk (a walk, a listing, a back-up and its record) compares with
// NameKey, as the file systems compare names.

// The capital the file systems give a character (their upper-case table:
// one UTF-16 unit for one, generated from the Unicode data by
// tools/gen-upcase.py); the character itself when it has none. Sharp s
// stays itself; final sigma becomes capital sigma.
char32_t NameUpper(char32_t c);

// A UTF-8 name or path as Windows compares names (ordinal, ignoring case):
// each character gets its NameUpper. Characters past the Basic Multilingual
// Plane, and bytes that are no UTF-8, stay unchanged. The one key for every
// set and every comparison of names from the disk.
std::string NameKey(std::string_view utf8);

// Decimal with Dutch thousands dots: 1234567 -> "1.234.567".
// A negative number keeps its minus sign outside the groups: -1000 -> "-1.000".
std::string FormatThousands(int64_t n);

// A size as a person reads it, in units of 1024 as Windows' Explorer counts
// them (so the figure matches what Explorer says of the same disk), with
// the Dutch decimal comma and one decimal below 100: "640 bytes",
// "12,3 kB", "640 kB", "71,7 GB". Exact byte counts belong in the log.
std::string FormatSize(int64_t bytes);

// One argument for a command line, in double quotes, written so that the
// Windows splitting rules (the program's own ArgumentsOf) give it back
// unchanged: a backslash before a quote, and at the end, is doubled, so
// "E:\" stays a folder and never escapes the closing quote.
std::string QuotedArgument(std::string_view argument);

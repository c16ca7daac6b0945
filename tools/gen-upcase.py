#!/usr/bin/env python3
"""Writes src/common/upcase_table.h: the capital of every character of the
Basic Multilingual Plane that has one, taken from the Unicode data's simple
upper-case mapping, as the file systems' own upper-case tables do (one
UTF-16 unit for one: sharp s stays itself, final and plain sigma both
become capital sigma).

Two mappings are left out, as Windows leaves them out: dotless i and long
s would become the ASCII letters I and S, and no letter from beyond ASCII
becomes an ASCII letter there.

    tools/gen-upcase.py [/usr/share/unicode/UnicodeData.txt] > src/common/upcase_table.h

The data file comes with Debian's package unicode-data.
"""
import sys

source = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/unicode/UnicodeData.txt"
pairs = []
with open(source, encoding="ascii") as data:
    for line in data:
        fields = line.rstrip("\n").split(";")
        if len(fields) < 15 or not fields[12]:
            continue
        lower, upper = int(fields[0], 16), int(fields[12], 16)
        if lower > 0xFFFF or upper > 0xFFFF:
            continue
        if lower >= 0x80 and upper < 0x80:
            continue
        pairs.append((lower, upper))

pairs.sort()
out = sys.stdout
out.write("// Written by tools/gen-upcase.py from UnicodeData.txt; do not edit.\n")
out.write("// Each character of the Basic Multilingual Plane with a capital, and\n")
out.write("// that capital, ordered by the character.\n")
out.write("#pragma once\n\n")
out.write("namespace upcase {\n")
out.write("struct Pair {\n    char16_t from, to;\n};\n\n")
out.write("constexpr Pair kPairs[] = {\n")
for i in range(0, len(pairs), 6):
    row = ", ".join("{0x%04X, 0x%04X}" % p for p in pairs[i:i + 6])
    out.write("    " + row + ",\n")
out.write("};\n")
out.write("}  // namespace upcase\n")

// Where the manual opens: the section of each wizard page, and the file
// URL of the manual with that section. Window-free, so it also builds
// natively for the sanitizers.
#pragma once

#include <string>
#include <string_view>

// The section id in handleiding.html for the page at this index of the
// wizard ("introductie", "selectie", ...); empty for an unknown index,
// which opens the manual at its top.
std::string_view ManualAnchor(int pageIndex);

// The number of pages that have a section of their own.
constexpr int kManualPageSections = 8;

// "file:///C:/Program%20Files/Zekerpad/handleiding.html#analyse" for the
// UTF-8 path C:\Program Files\Zekerpad\handleiding.html and the anchor
// "analyse". Every byte outside the unreserved characters is escaped, so
// a "#" or "%" in a folder name cannot end the path early. A UNC path
// (\\server\share\...) becomes file://server/share/... . No "#" is added
// for an empty anchor.
std::string FileUrl(std::string_view utf8Path, std::string_view anchor);

// Where a user turns with a question, a fault or a show to send: the five
// contact lines of the closing and other-files pages. Whoever hands out
// the program (a club, a venue, a shop) can set them for its users through
// the installers, as "Contact" in the settings.
#pragma once

#include <string>

// The five lines, each laid out after a tab and ending in "\n". The
// setting holds them in one value, separated by "|" (an INI value is one
// line); fewer parts leave the last lines empty, parts past the fifth
// join the fifth after ", ". An empty setting gives the program's own
// four lines: ask whoever gave you the program, and send the log and a
// report.
std::string ContactLines(const std::string& setting);

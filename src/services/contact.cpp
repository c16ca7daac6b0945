#include "services/contact.h"

#include <vector>

namespace {
// The program knows no address of its own: it names who does know one,
// and what helps them answer. The lines finish the sentence before them
// on both pages ("... contact opnemen:", "Stuur het bestand dan naar:"),
// in the five lines both pages lay out, "of" on a line of its own.
constexpr char kOwnLines[] =
    "\tde club, vereniging of winkel die u dit programma gaf,\n"
    "\tof\n"
    "\tde beheerder van uw computer. Stuur het logboek\n"
    "\tC:\\Zekerpad.log mee, en een rapport van de show (knop\n"
    "\tRapport opslaan op de pagina Analyse en resultaten).\n";
constexpr size_t kLines = 5;
}  // namespace

std::string ContactLines(const std::string& setting) {
    if (setting.find_first_not_of(" \t") == std::string::npos) return kOwnLines;
    std::vector<std::string> lines(1);
    for (char c : setting) {
        if (c == '|' && lines.size() < kLines)
            lines.emplace_back();
        else if (c == '|')
            lines.back() += ", ";
        else if (c != '\r' && c != '\n')
            lines.back() += c;
    }
    lines.resize(kLines);
    std::string text;
    for (const std::string& line : lines) text += "\t" + line + "\n";
    return text;
}

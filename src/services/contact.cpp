#include "services/contact.h"

#include <vector>

namespace {
// The program knows no address of its own: it names who does know one,
// and what helps them answer.
constexpr char kOwnLines[] =
    "\tWie u dit programma gaf (uw club, vereniging of winkel)\n"
    "\tof\n"
    "\tde beheerder van uw computer. Stuur mee: het logboek\n"
    "\tc:\\Zekerpad.log en een rapport van de show (knop\n"
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

#include "repair/missing_match.h"

#include <cstdio>

#include "files/file_kind.h"
#include "files/path_split.h"
#include "common/text.h"

void FoldToLowerAscii(std::string_view text, std::string& out) {
    out.assign(text.begin(), text.end());
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
}

MissingFiles::MissingFiles(const std::vector<std::string>& redPaths) {
    std::unordered_map<std::string, size_t> seenPaths;
    std::string folded;
    for (const std::string& path : redPaths) {
        FoldToLowerAscii(path, folded);
        if (!seenPaths.emplace(folded, m_groups.size()).second) continue;
        const PathParts parts = SplitPath(path);
        MissingGroup group;
        group.redPath = path;
        group.fileName = parts.name + parts.ext;
        group.kind = FileKindOfExtension(parts.ext);
        FoldToLowerAscii(group.fileName, folded);
        m_byName[folded].push_back(m_groups.size());
        m_groups.push_back(std::move(group));
    }
}

const std::vector<size_t>* MissingFiles::GroupsNamed(std::string_view fileName, std::string& scratch) const {
    FoldToLowerAscii(fileName, scratch);
    const auto it = m_byName.find(scratch);
    return it == m_byName.end() ? nullptr : &it->second;
}

void MissingFiles::AddCandidate(size_t group, MissingCandidate candidate) {
    m_groups.at(group).candidates.push_back(std::move(candidate));
}

void MissingFiles::ChooseDefaults() {
    for (MissingGroup& g : m_groups) g.chosen = g.candidates.size() == 1 ? 0 : -1;
}

void MissingFiles::Choose(size_t group, int candidate) {
    MissingGroup& g = m_groups.at(group);
    if (candidate < 0 || static_cast<size_t>(candidate) >= g.candidates.size())
        g.chosen = -1;
    else
        g.chosen = candidate;
}

size_t MissingFiles::ChosenCount() const {
    size_t n = 0;
    for (const MissingGroup& g : m_groups) n += g.chosen >= 0 ? 1 : 0;
    return n;
}

size_t MissingFiles::CandidateCount() const {
    size_t n = 0;
    for (const MissingGroup& g : m_groups) n += g.candidates.size();
    return n;
}

std::string MissingGroupText(const MissingGroup& group) {
    // What is still to be done comes first, where a long path cannot hide it.
    if (group.candidates.empty()) return "Niet gevonden:  " + group.redPath;
    if (group.chosen < 0) return "Kies een bestand:  " + group.redPath;
    return group.redPath;
}

std::string MissingCandidateText(const MissingCandidate& c) {
    char date[64];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d %02d:%02d", c.written.day, c.written.month, c.written.year,
                  c.written.hour, c.written.minute);
    return c.path + "   (" + FormatSize(c.size) + ", " + date + ")";
}

namespace {
std::string Files(int64_t n) { return n == 1 ? "1 bestand" : FormatThousands(n) + " bestanden"; }
std::string Folders(int64_t n) { return n == 1 ? "1 map" : FormatThousands(n) + " mappen"; }
}  // namespace

std::string MissingSearchSummary(int64_t folders, int64_t found, int64_t tooLong, bool stopped) {
    std::string text = stopped ? "Het zoeken is gestopt na " + Folders(folders) +
                                     ". Hieronder staat wat tot dan toe gevonden is."
                               : "Klaar: " + Folders(folders) + " doorzocht, " + Files(found) + " gevonden.";
    if (tooLong > 0)
        text += " " + Files(tooLong) + " met een pad van meer dan 259 tekens " + (tooLong == 1 ? "is" : "zijn") +
                " overgeslagen.";
    if (!stopped && found == 0)
        text += " Staan de bestanden op een USB-stick of schijf die nu niet is aangesloten, sluit die dan aan en "
                "zoek opnieuw; of laat Wings ze zoeken met Start Wings op de pagina met de rode bestanden.";
    return text;
}

std::string MissingCopySummary(const MissingCopyCounts& counts) {
    std::string text;
    if (counts.copied == 0)
        text = "Er is geen bestand naar de show gekopieerd.";
    else
        text = std::string(counts.copied == 1 ? "Er is " : "Er zijn ") + Files(counts.copied) +
               " naar de show gekopieerd.";
    if (counts.inPlace > 0)
        text += std::string("\n\n") + Files(counts.inPlace) + (counts.inPlace == 1 ? " stond" : " stonden") +
                " al in een submap van de show.";
    if (counts.notCopied > 0)
        text += std::string("\n\n") + Files(counts.notCopied) + (counts.notCopied == 1 ? " is" : " zijn") +
                " niet gekopieerd. De reden staat in de meldingen en in het logboek C:\\Zekerpad.log.";
    if (counts.stopped) text += "\n\nU heeft het kopiëren gestopt; de overige bestanden zijn niet gekopieerd.";
    return text;
}

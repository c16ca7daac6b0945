#include "media/content_findings.h"

#include <unordered_set>
#include <utility>

#include "common/text.h"

namespace {
const char kNotJudged[] =
    "onbekende soort: Zekerpad kan de opbouw van dit soort bestand niet nakijken; het is wel helemaal gelezen";

std::string Files(int32_t n) { return std::to_string(n) + (n == 1 ? " bestand" : " bestanden"); }

}  // namespace

CheckedFile CheckedFileOf(const std::string& path, const ContentFinding& finding) {
    CheckedFile file;
    file.path = path;
    switch (finding.verdict) {
    case ContentVerdict::Whole: file.content = FileContent::Whole; break;
    case ContentVerdict::Warning: file.content = FileContent::Warning; break;
    case ContentVerdict::Damaged: file.content = FileContent::Damaged; break;
    case ContentVerdict::NotJudged: file.content = FileContent::NotJudged; break;
    }
    file.reason = finding.reason;
    if (file.content == FileContent::NotJudged && file.reason.empty()) file.reason = kNotJudged;
    return file;
}

void ContentCounts::Add(const CheckedFile& file) {
    ++read;
    switch (file.content) {
    case FileContent::Whole: ++whole; break;
    case FileContent::Warning: ++warnings; break;
    case FileContent::Damaged: ++damaged; break;
    case FileContent::NotJudged: ++notJudged; break;
    }
}

const char* ContentWord(FileContent content) {
    switch (content) {
    case FileContent::Whole: break;
    case FileContent::Warning: return "let op";
    case FileContent::Damaged: return "beschadigd";
    case FileContent::NotJudged: return "niet te beoordelen";
    }
    return "";
}

std::string FindingText(const CheckedFile& file) { return file.path + " (" + file.reason + ")"; }

std::string ContentSummary(const ContentCounts& c, int32_t files, bool stopped) {
    std::string text = stopped ? "Gestopt: " + std::to_string(c.read) + " van " + Files(files) + " gelezen."
                               : "Gelezen: " + Files(c.read) + ".";
    // Only the counts there is something of: a "0" is one more number to read.
    const std::pair<const char*, int32_t> counts[] = {
        {"In orde", c.whole}, {"Beschadigd", c.damaged}, {"Let op", c.warnings}, {"Niet te beoordelen", c.notJudged}};
    for (const auto& [word, n] : counts)
        if (n > 0) text += " " + std::string(word) + ": " + std::to_string(n) + ".";
    if (c.damaged > 0)
        text += "\nZet van elk beschadigd bestand een goede kopie terug en kijk de bestanden daarna opnieuw na.";
    else if (!stopped)
        text += "\nGeen enkel bestand is beschadigd.";
    return text;
}

void MergeFindings(std::vector<CheckedFile>& kept, std::vector<CheckedFile> fresh) {
    std::unordered_set<std::string> readAgain;
    for (const CheckedFile& f : fresh) readAgain.insert(UpperCasedAscii(f.path));
    std::vector<CheckedFile> merged;
    merged.reserve(kept.size() + fresh.size());
    for (CheckedFile& old : kept)
        if (!readAgain.count(UpperCasedAscii(old.path))) merged.push_back(std::move(old));
    for (CheckedFile& f : fresh) merged.push_back(std::move(f));
    kept = std::move(merged);
}

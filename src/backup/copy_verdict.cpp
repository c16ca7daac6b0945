#include "backup/copy_verdict.h"

#include "backup/backup_outcome.h"
#include "common/text.h"

namespace {
constexpr size_t kNamesShown = 10;
}  // namespace

bool ShowCopyComplete(const ShowCopyResult& r) {
    return !r.stopped && !r.shows.empty() && r.missing.empty() && r.damaged.empty() && r.outside.empty();
}

std::string NameLines(const std::vector<std::string>& names, size_t shown, const std::string& logName) {
    std::string text;
    for (size_t i = 0; i < names.size() && i < shown; ++i) text += "\n" + names[i];
    if (names.size() > shown)
        text += "\n... en nog " + FormatThousands(static_cast<int64_t>(names.size() - shown)) +
                " (zie het logboek " + logName + ")";
    return text;
}

std::string ShowCopyText(const ShowCopyResult& r, const std::string& logName) {
    const std::string noRecord = " Er was geen overzicht om mee te vergelijken.";
    std::string text;
    if (r.stopped) {
        text = "De controle is gestopt; de show is dus niet volledig gecontroleerd.";
    } else if (ShowCopyComplete(r)) {
        text = "De show is compleet: alle " + std::to_string(r.named) + " bestanden staan erin en zijn heel." +
               noRecord;
        if (r.notJudged > 0)
            text += "\nVan " + FileCountText(r.notJudged) +
                    " kan Zekerpad de inhoud niet beoordelen; die staan er wel.";
    } else {
        const int wrong = static_cast<int>(r.missing.size() + r.damaged.size() + r.outside.size());
        text = "De show is niet compleet: " + std::to_string(wrong) + " van de " + std::to_string(r.named) +
               (wrong == 1 ? " bestanden ontbreekt of is beschadigd." : " bestanden ontbreken of zijn beschadigd.") +
               noRecord;
    }
    if (!r.missing.empty()) text += "\n\nOntbreekt in de kopie:" + NameLines(r.missing, kNamesShown, logName);
    if (!r.damaged.empty()) text += "\n\nBeschadigd:" + NameLines(r.damaged, kNamesShown, logName);
    if (!r.outside.empty())
        text += "\n\nStaat buiten de map van de show, en dus niet in de kopie:" +
                NameLines(r.outside, kNamesShown, logName);
    if (!r.stopped && !ShowCopyComplete(r))
        text += "\n\nZet deze bestanden op dezelfde plaats in de kopie, vanaf de computer waarop de show is gemaakt. "
                "Het beste is een back-up met Zekerpad: die neemt alles mee en is later te controleren.";
    return text + "\n\nElk bestand staat in het logboek " + logName + ".";
}

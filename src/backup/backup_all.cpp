#include "backup/backup_all.h"

#include "common/text.h"

std::string BackupAllLineText(const BackupAllLine& line) {
    switch (line.state) {
    case BackupAllState::Complete:
        return "volledig";
    case BackupAllState::Incomplete:
        return "niet volledig: " + line.reason;
    case BackupAllState::Refused:
        return "niet gemaakt: de doelmap is geweigerd (zie het logboek)";
    case BackupAllState::NotStarted:
        return "niet begonnen: de back-up is gestopt";
    case BackupAllState::Skipped:
        break;
    }
    return "overgeslagen: " + line.reason;
}

std::string IncompleteReason(const BackupOutcome& outcome) {
    if (outcome.stopped) return "gestopt";
    if (outcome.failed > 0)
        return FileCountText(outcome.failed) + (outcome.failed == 1 ? " kon" : " konden") +
               " niet worden gekopieerd (zie het logboek)";
    if (!outcome.notHeld.empty())
        return "de show noemt " + FileCountText(static_cast<int>(outcome.notHeld.size())) +
               (outcome.notHeld.size() == 1 ? " dat niet in de back-up staat" : " die niet in de back-up staan");
    if (!outcome.recordProblem.empty()) return "het overzicht kon niet worden geschreven";
    return std::string();
}

std::vector<size_t> ShowsThatFit(const std::vector<int64_t>& sizes, int64_t freeBytes) {
    std::vector<size_t> fit;
    int64_t left = freeBytes;
    for (size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i] <= left) {
            left -= sizes[i];
            fit.push_back(i);
        }
    return fit;
}

std::string BackupAllPlanText(int green, int skipped, int64_t copyBytes, int64_t freeBytes) {
    if (green == 0)
        return "Geen van de shows heeft groen licht; Zekerpad maakt dus geen back-up. Open een show in de wizard en "
               "volg de pagina's tot groen licht.";
    std::string text = "Zekerpad maakt een back-up van " +
                       (green == 1 ? std::string("1 show") : std::to_string(green) + " shows") +
                       " met groen licht, elk in een eigen map in de doelmap.";
    if (skipped > 0)
        text += " " + (skipped == 1 ? std::string("1 show zonder groen licht wordt")
                                    : std::to_string(skipped) + " shows zonder groen licht worden") +
                " overgeslagen.";
    if (copyBytes >= 0) text += "\nTe kopiëren: " + FormatSize(copyBytes) + ".";
    if (freeBytes >= 0) text += " Vrij op de doelschijf: " + FormatSize(freeBytes) + ".";
    return text;
}

std::string BackupAllSummary(const std::vector<BackupAllLine>& lines) {
    int complete = 0, incomplete = 0, skipped = 0, notStarted = 0;
    for (const BackupAllLine& line : lines) {
        switch (line.state) {
        case BackupAllState::Complete: ++complete; break;
        case BackupAllState::Skipped: ++skipped; break;
        case BackupAllState::NotStarted: ++notStarted; break;
        case BackupAllState::Incomplete:
        case BackupAllState::Refused: ++incomplete; break;
        }
    }
    const int made = complete + incomplete + notStarted;
    std::string text = std::to_string(complete) + " van de " + std::to_string(made) +
                       (made == 1 ? " back-up" : " back-ups") + (complete == 1 ? " is volledig" : " zijn volledig");
    if (incomplete > 0) text += ", " + std::to_string(incomplete) + " niet";
    if (notStarted > 0) text += ", " + std::to_string(notStarted) + " niet begonnen";
    text += ".";
    if (skipped > 0)
        text += " " + (skipped == 1 ? std::string("1 show is") : std::to_string(skipped) + " shows zijn") +
                " overgeslagen zonder groen licht: open " + (skipped == 1 ? "die" : "ze") +
                " in de wizard en volg de pagina's tot groen licht.";
    if (incomplete + notStarted > 0) text += " Maak de back-up opnieuw voor de shows die niet volledig zijn.";
    return text;
}

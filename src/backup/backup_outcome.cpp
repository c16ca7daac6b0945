#include "backup/backup_outcome.h"

#include "backup/backup_folders.h"
#include "common/text.h"
#include "files/free_space.h"

std::string FileCountText(int count) {
    return FormatThousands(count) + (count == 1 ? " bestand" : " bestanden");
}

bool BackupComplete(const BackupOutcome& outcome) {
    return outcome.refusal == BackupRefusal::None && !outcome.stopped && outcome.failed == 0 &&
           outcome.recordProblem.empty() && outcome.notHeld.empty();
}

std::string BackupSummaryText(const BackupOutcome& outcome, const std::string& logName, bool removableDestination) {
    std::string first;
    if (outcome.stopped)
        first = "De back-up is gestopt en is dus niet volledig.";
    else if (outcome.failed > 0)
        first = "De back-up is niet volledig: " + FileCountText(outcome.failed) +
                (outcome.failed == 1 ? " kon" : " konden") + " niet worden gekopieerd (zie de meldingen).";
    else if (!outcome.notHeld.empty())
        first = "De back-up is niet volledig: de show noemt " + FileCountText(static_cast<int>(outcome.notHeld.size())) +
                (outcome.notHeld.size() == 1 ? " dat niet in de back-up staat" : " die niet in de back-up staan") +
                " (zie het logboek). Analyseer de show opnieuw en maak dan de back-up opnieuw.";
    else if (!outcome.recordProblem.empty())
        first = "De back-up is niet volledig: het overzicht " + outcome.recordProblem +
                " kon niet worden geschreven (zie de melding).";
    else if (outcome.suspect > 0)
        // A file of the show itself looks damaged: the next step is a good
        // copy of it, not taking the stick away as if all were well.
        first = "De back-up is klaar en volledig.";
    else
        first = std::string("De back-up is klaar en volledig. ") +
                (removableDestination ? "U kunt de USB-stick nu veilig verwijderen." : "U kunt dit venster nu sluiten.");
    if (outcome.suspect > 0)
        first += "\nLet op: " + FileCountText(outcome.suspect) + (outcome.suspect == 1 ? " lijkt" : " lijken") +
                 " beschadigd (zie het logboek). Zet een goede kopie in de map van de show en maak de back-up "
                 "opnieuw.";
    return first + "\nGekopieerd: " + FileCountText(outcome.copied) + " (" + FormatSize(outcome.copiedBytes) +
           "). Ongewijzigd: " + FormatThousands(outcome.unchanged) +
           ". Mislukt: " + FormatThousands(outcome.failed) + ".\nElk bestand staat in het logboek " + logName + ".";
}

std::string BackupPlanText(const std::string& targetRoot, const BackupPlan& plan, int64_t freeBytes,
                           const std::string& takenName) {
    std::string text = "De back-up komt in de map:\n" + targetRoot;
    if (!takenName.empty())
        text += "\nDe map " + takenName + " daar hoort bij een andere show; die blijft onaangeroerd.";
    if (plan.copyCount == 0 && plan.refusedCount == 0 && plan.unchangedCount > 0 && plan.hourApartCount == 0) {
        text += "\nEr is niets te kopiëren: " +
                (plan.unchangedCount == 1 ? std::string("het bestand staat")
                                          : "alle " + FileCountText(plan.unchangedCount) + " staan") +
                " al ongewijzigd in de back-up.";
    } else {
        // The analysis counts the files the show names; a back-up takes the
        // whole folder, so its count is larger and says why.
        text += "\nZekerpad kopieert de hele map van de show: ook het showbestand, de .tlg-bestanden en de andere "
                "bestanden in de map.";
        text += "\nTe kopiëren: " + FileCountText(plan.copyCount) + ", " + FormatSize(plan.copyBytes);
        if (plan.unchangedCount > 0) text += " (" + FormatThousands(plan.unchangedCount) + " ongewijzigd)";
        text += ".";
    }
    text += " Vrij op de doelschijf: " + (freeBytes < 0 ? std::string("onbekend") : FormatSize(freeBytes)) + ".";
    // Said before Starten, in the numbers the refusal will give.
    const int64_t needed = plan.roomNeeded + kFreeSpaceMargin;
    if (freeBytes >= 0 && plan.roomNeeded > 0 && needed > freeBytes)
        text += "\nDat past niet: op de doelschijf is " + FormatSize(needed) + " nodig (" +
                (plan.clusterBytes > 1 ? "elk bestand krijgt daar ruimte in hele blokken van " +
                                             FormatSize(static_cast<int64_t>(plan.clusterBytes)) +
                                             ", en er blijft 1 MB extra vrij)."
                                       : "met 1 MB extra).");
    if (plan.hourApartCount > 0)
        text += "\n" + FileCountText(plan.hourApartCount) + (plan.hourApartCount == 1 ? " staat" : " staan") +
                " in de back-up met een tijd die precies een uur verschilt (zomer- of wintertijd). Zekerpad leest " +
                (plan.hourApartCount == 1 ? "het" : "ze") + " en kopieert alleen wat echt veranderd is.";
    if (plan.olderCount > 0)
        text += "\n" + FileCountText(plan.olderCount) + (plan.olderCount == 1 ? " verandert" : " veranderen") +
                "; de oudere " + (plan.olderCount == 1 ? "kopie blijft" : "kopieën blijven") +
                " bewaard bij de oudere versies.";
    if (plan.refusedCount > 0)
        text += "\n" + FileCountText(plan.refusedCount) + (plan.refusedCount == 1 ? " kan" : " kunnen") +
                " niet worden gekopieerd (pad te lang, bestand te groot of een map of bestand in de weg).";
    return text;
}

std::string BackupPlanAfterFailedCheckText(const std::string& targetRoot) {
    return "De back-up in de map:\n" + targetRoot +
           "\nis niet in orde (zie hieronder). Klik op Starten om hem opnieuw te maken, bij voorkeur in een doelmap "
           "op een andere schijf of USB-stick.";
}

bool BackupProven(const BackupCheckResult& r) {
    return r.hasRecord && !r.recordDamaged && !r.stopped && r.lastRun == RecordedRun::Complete &&
           r.missing.empty() && r.damaged.empty() && r.notHeld.empty();
}

std::string BackupCheckText(const BackupCheckResult& r, const std::string& logName) {
    const auto count = [](size_t n, const char* one, const char* more) {
        return FileCountText(static_cast<int>(n)) + (n == 1 ? one : more);
    };
    std::string text;
    if (!r.hasRecord) {
        text = "Bij deze back-up staat geen overzicht van Zekerpad; hij kan niet worden gecontroleerd.";
    } else if (r.recordDamaged) {
        text = "Het overzicht van de back-up is beschadigd" +
               (r.recordDamage.empty() ? std::string() : " (" + r.recordDamage + ")") +
               ": niet na te gaan is of de back-up volledig en gaaf is. Maak de back-up opnieuw.";
    } else if (BackupProven(r)) {
        text = "De back-up is in orde: elk bestand is van de schijf gelezen en gelijk aan het overzicht.";
    } else {
        std::vector<std::string> parts;
        if (!r.missing.empty()) parts.push_back(count(r.missing.size(), " ontbreekt", " ontbreken"));
        if (!r.damaged.empty()) parts.push_back(count(r.damaged.size(), " is beschadigd", " zijn beschadigd"));
        if (!r.notHeld.empty())
            parts.push_back(count(r.notHeld.size(), " dat de show noemt, staat", " die de show noemt, staan") +
                            " niet in de back-up");
        if (r.lastRun == RecordedRun::Incomplete)
            parts.push_back("de laatste back-up was niet volledig" +
                            (r.incompleteReason.empty() ? std::string() : " (" + r.incompleteReason + ")"));
        if (r.lastRun == RecordedRun::Unknown)
            parts.push_back("het overzicht is van een eerdere versie van Zekerpad, die niet bijhield of de back-up "
                            "volledig was");
        if (parts.empty()) {
            text = "De controle is gestopt; de back-up is dus niet volledig gecontroleerd.";
        } else {
            text = "De back-up is niet in orde: ";
            for (size_t i = 0; i < parts.size(); ++i)
                text += (i == 0 ? "" : i + 1 == parts.size() ? " en " : ", ") + parts[i];
            text += ".";
            if (r.stopped) text += " De controle is gestopt voordat alles gelezen was.";
            text += " Maak de back-up opnieuw.";
        }
    }
    return text + "\nGecontroleerd: " + FileCountText(r.checked) + ".\nElk bestand staat in het logboek " + logName + ".";
}

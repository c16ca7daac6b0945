// The reports of a show that could not be analysed, as the user reads them.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "analysis/show_scan.h"

namespace {
const char kShow[] = "C:\\Shows\\Demo\\demo.ws4";

std::string Message(ScanStatus status, uint32_t error) { return ScanFailureMessage({status, error}, kShow); }
}  // namespace

TEST(ScanFailureMessage, EachFailureNamesTheShowAndWhatToDo) {
    EXPECT_EQ(Message(ScanStatus::Done, 0), "");
    EXPECT_EQ(Message(ScanStatus::Missing, 0), "Het opgegeven Wings-bestand bestaat niet!\nC:\\Shows\\Demo\\demo.ws4");
    EXPECT_EQ(ScanFailureMessage({ScanStatus::Missing, 0}, ""), "Het opgegeven Wings-bestand bestaat niet!");
    EXPECT_EQ(Message(ScanStatus::ReadFailed, 0), "FOUT bij lezen bestand\nC:\\Shows\\Demo\\demo.ws4");
    EXPECT_EQ(Message(ScanStatus::ShortRead, 0), "Fout bij lezen van het bestand.\nC:\\Shows\\Demo\\demo.ws4");
    EXPECT_EQ(Message(ScanStatus::NoMemory, 0),
              "Er is niet genoeg geheugen vrij om het Wings-bestand in te lezen.\nC:\\Shows\\Demo\\demo.ws4");
}

TEST(ScanFailureMessage, InUseAndRefusedAddTheSystemsReasonAndAdvice) {
    const std::string inUse = Message(ScanStatus::InUse, ERROR_SHARING_VIOLATION);
    const std::string head = "De show is in gebruik bij een ander programma (bijvoorbeeld Wings) en kan nu niet "
                             "worden gelezen.\nC:\\Shows\\Demo\\demo.ws4\n\n";
    const std::string tail = "\n\nSluit de show in dat programma, of sluit het programma, en probeer het daarna "
                             "opnieuw.";
    ASSERT_GT(inUse.size(), head.size() + tail.size() + 10) << inUse;
    EXPECT_EQ(inUse.substr(0, head.size()), head);
    EXPECT_EQ(inUse.substr(inUse.size() - tail.size()), tail);

    const std::string refused = Message(ScanStatus::AccessDenied, ERROR_ACCESS_DENIED);
    EXPECT_EQ(refused.find("De toegang tot de show is geweigerd: u heeft geen toestemming om dit bestand te lezen.\n"
                           "C:\\Shows\\Demo\\demo.ws4\n\n"),
              0u)
        << refused;
    EXPECT_NE(refused.find("\n\nVraag de beheerder van deze computer om leesrechten op de show, of kies een andere "
                           "show."),
              std::string::npos);

    // The read failures say the system's reason when it gave one.
    EXPECT_GT(Message(ScanStatus::ReadFailed, ERROR_CRC).size(),
              std::string("FOUT bij lezen bestand\nC:\\Shows\\Demo\\demo.ws4\n\n").size());
}

TEST(ScanFailureMessage, TheSystemsErrorDecidesInUseOrRefused) {
    EXPECT_EQ(OpenFailureStatus(ERROR_SHARING_VIOLATION), ScanStatus::InUse);
    EXPECT_EQ(OpenFailureStatus(ERROR_LOCK_VIOLATION), ScanStatus::InUse);
    EXPECT_EQ(OpenFailureStatus(ERROR_ACCESS_DENIED), ScanStatus::AccessDenied);
    EXPECT_EQ(OpenFailureStatus(ERROR_FILE_NOT_FOUND), ScanStatus::OpenFailed);
}

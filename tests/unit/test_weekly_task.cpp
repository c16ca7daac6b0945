// The weekly task's definition, as the Task Scheduler would be handed it,
// and its command line as the program reads it back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "backup/weekly_task.h"
#include "common/text.h"

namespace {
using Args = std::vector<std::string>;

WeeklyTask Zomer() {
    WeeklyTask task;
    task.program = "C:\\Program Files\\Zekerpad\\Zekerpad.exe";
    task.show = "D:\\Shows\\Rock & Roll\\zomer.ws4";
    task.destination = "E:\\";
    task.year = 2026, task.month = 12, task.day = 16, task.hour = 9, task.minute = 5, task.weekday = 3;
    return task;
}
}  // namespace

TEST(WeeklyTask, TheDefinitionRunsTheBackupEveryWeekForTheUserWithoutRaisedRights) {
    EXPECT_EQ(WeeklyTaskName("Zomer"), "Zekerpad back-up Zomer");
    EXPECT_EQ(WeeklyTaskName("Zomer", 2), "Zekerpad back-up Zomer (2)");
    EXPECT_EQ(WeeklyTaskXml(Zomer(), "Zekerpad back-up Rock & Roll"),
              "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
              "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
              "  <RegistrationInfo>\n"
              "    <Author>Zekerpad</Author>\n"
              "    <Description>Maakt elke week met Zekerpad een back-up van de show D:\\Shows\\Rock &amp; "
              "Roll\\zomer.ws4 in E:\\. Verwijderen: in de Taakplanner, of met schtasks /Delete /TN &quot;Zekerpad "
              "back-up Rock &amp; Roll&quot; /F</Description>\n"
              "  </RegistrationInfo>\n"
              "  <Triggers>\n"
              "    <CalendarTrigger>\n"
              "      <StartBoundary>2026-12-16T09:05:00</StartBoundary>\n"
              "      <Enabled>true</Enabled>\n"
              "      <ScheduleByWeek>\n"
              "        <DaysOfWeek><Wednesday /></DaysOfWeek>\n"
              "        <WeeksInterval>1</WeeksInterval>\n"
              "      </ScheduleByWeek>\n"
              "    </CalendarTrigger>\n"
              "  </Triggers>\n"
              "  <Principals>\n"
              "    <Principal id=\"Author\">\n"
              "      <LogonType>InteractiveToken</LogonType>\n"
              "      <RunLevel>LeastPrivilege</RunLevel>\n"
              "    </Principal>\n"
              "  </Principals>\n"
              "  <Settings>\n"
              "    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
              "    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
              "    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
              "    <StartWhenAvailable>true</StartWhenAvailable>\n"
              "    <ExecutionTimeLimit>PT12H</ExecutionTimeLimit>\n"
              "    <Enabled>true</Enabled>\n"
              "  </Settings>\n"
              "  <Actions Context=\"Author\">\n"
              "    <Exec>\n"
              "      <Command>C:\\Program Files\\Zekerpad\\Zekerpad.exe</Command>\n"
              "      <Arguments>/back-up &quot;D:\\Shows\\Rock &amp; Roll\\zomer.ws4&quot; &quot;E:\\\\&quot;"
              "</Arguments>\n"
              "    </Exec>\n"
              "  </Actions>\n"
              "</Task>\n");
    // The same for the Command Prompt, where the interface is missing.
    EXPECT_EQ(WeeklyTaskCommand(Zomer(), "Zekerpad back-up Rock & Roll"),
              "schtasks /Create /SC WEEKLY /D WED /ST 09:05 /TN \"Zekerpad back-up Rock & Roll\" /TR \"\\\"C:\\Program "
              "Files\\Zekerpad\\Zekerpad.exe\\\" /back-up \\\"D:\\Shows\\Rock ^& Roll\\zomer.ws4\\\" "
              "\\\"E:\\\\\\\\\\\"\"");
}

// Whatever the paths, the task's command line is read back as the same
// /back-up with the same show and folder: a drive's root does not swallow
// the closing quote, blanks and backslashes stay where they were.
TEST(WeeklyTask, TheCommandLineGivesTheShowAndTheFolderBackExactly) {
    EXPECT_EQ(QuotedArgument("E:\\"), "\"E:\\\\\"");
    EXPECT_EQ(QuotedArgument("D:\\Mijn shows\\a.ws4"), "\"D:\\Mijn shows\\a.ws4\"");
    EXPECT_EQ(QuotedArgument("a\\\"b"), "\"a\\\\\\\"b\"");
    EXPECT_EQ(QuotedArgument(""), "\"\"");
    WeeklyTask task = Zomer();
    for (const auto& paths : std::vector<std::pair<std::string, std::string>>{
             {"D:\\Shows\\Rock & Roll\\zomer.ws4", "E:\\"},
             {"C:\\Mijn shows\\  twee  blanco's \\a.ws4", "\\\\nas\\back-ups\\"},
             {"C:\\a.ws4", "E:\\Back-ups\\Seizoen 2026\\\\"},
             {"C:\\Z\xC3\xA9ker\\\xC5\x81\xC3\xB3""d\xC5\xBA.ws4", "E:\\\xE5\xAF\x8C\xE5\xA3\xAB"}}) {
        task.show = paths.first;
        task.destination = paths.second;
        const Args args = ArgumentsOf("Zekerpad.exe " + WeeklyTaskArguments(task));
        EXPECT_EQ(args, (Args{"/back-up", paths.first, paths.second}));
        const CheckCommand command = ParseCheckCommand(args);
        EXPECT_EQ(command.mode, CheckCommand::Mode::Backup) << paths.second;
        EXPECT_EQ(command.backup, paths.second);
        // schtasks reads /TR as one argument: the command line the task runs.
        if (paths.first.find('&') != std::string::npos) continue;  // the prompt's ^ is the prompt's
        const Args typed = ArgumentsOf(WeeklyTaskCommand(task, "Zekerpad back-up Zomer"));
        ASSERT_EQ(typed.size(), 11u);
        EXPECT_EQ(typed[9], "/TR");
        EXPECT_EQ(ArgumentsOf("schtasks " + typed[10]), (Args{Zomer().program, "/back-up", paths.first, paths.second}));
    }
}

// Where no task could be made, the message says why and gives the line to
// type instead; where one was made, when it runs and how to remove it.
TEST(WeeklyTask, TheMessageSaysWhenItRunsHowToRemoveItOrWhatToTypeInstead) {
    WeeklyTask task = Zomer();
    task.show = "D:\\Shows\\Zomer\\zomer.ws4";
    task.destination = "E:\\Back-up";
    EXPECT_EQ(WeeklyTaskMessage(TaskOutcome::NoScheduler, task, "Zekerpad back-up Zomer", "Klasse niet geregistreerd.",
                                "C:\\Zekerpad.log"),
              "Zekerpad kan de wekelijkse taak niet maken: de Taakplanner van Windows is niet bereikbaar.\n"
              "Klasse niet geregistreerd.\n\nU kunt de taak ook zelf maken: typ in de Opdrachtprompt deze regel (hij "
              "staat ook in het logboek C:\\Zekerpad.log):\nschtasks /Create /SC WEEKLY /D WED /ST 09:05 /TN "
              "\"Zekerpad back-up Zomer\" /TR \"\\\"C:\\Program Files\\Zekerpad\\Zekerpad.exe\\\" /back-up "
              "\\\"D:\\Shows\\Zomer\\zomer.ws4\\\" \\\"E:\\Back-up\\\"\"");
    const std::string made =
        WeeklyTaskMessage(TaskOutcome::Made, task, "Zekerpad back-up Zomer", std::string(), "C:\\Zekerpad.log");
    EXPECT_EQ(made.find("Zekerpad maakt nu elke woensdag om 09:05 een back-up van deze show in:\nE:\\Back-up\n\n"), 0u)
        << made;
    EXPECT_NE(made.find("Is de doelschijf (bijvoorbeeld de USB-stick) er op dat moment niet, dan staat dat in het "
                        "logboek C:\\Zekerpad.log en haalt de volgende back-up alles in."),
              std::string::npos)
        << made;
}

#include "backup/weekly_task.h"

#include <cstdio>

#include "common/text.h"
#include "report/report_html.h"

namespace {
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// XML takes the same five entities as HTML.
std::string XmlText(const std::string& text) { return HtmlEscape(text); }

const char* DayName(int weekday) { return kDays[weekday >= 0 && weekday < 7 ? weekday : 0]; }

const char* const kDutchDays[] = {"zondag", "maandag", "dinsdag", "woensdag", "donderdag", "vrijdag", "zaterdag"};

std::string HowToRemove(const std::string& name) {
    return "De taak verwijderen: open de Taakplanner van Windows (zoek in het menu Start naar Taakplanner), klik op "
           "Bibliotheek Taakplanner, klik met de rechtermuisknop op \"" +
           name + "\" en kies Verwijderen. Of typ in de Opdrachtprompt:\nschtasks /Delete /TN " + QuotedArgument(name) +
           " /F";
}
}  // namespace

std::string WeeklyTaskName(const std::string& showFolderName, int number) {
    std::string name = "Zekerpad back-up " + showFolderName;
    if (number > 1) name += " (" + std::to_string(number) + ")";
    return name;
}

std::string WeeklyTaskArguments(const WeeklyTask& task) {
    return "/back-up " + QuotedArgument(task.show) + " " + QuotedArgument(task.destination);
}

std::string WeeklyTaskDescription(const WeeklyTask& task, const std::string& name) {
    return "Maakt elke week met Zekerpad een back-up van de show " + task.show + " in " + task.destination +
           ". Verwijderen: in de Taakplanner, of met schtasks /Delete /TN \"" + name + "\" /F";
}

std::string WeeklyTaskXml(const WeeklyTask& task, const std::string& name) {
    char start[32] = {};
    std::snprintf(start, sizeof start, "%04d-%02d-%02dT%02d:%02d:00", task.year, task.month, task.day, task.hour,
                  task.minute);
    const char* day = DayName(task.weekday);
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           "  <RegistrationInfo>\n"
           "    <Author>Zekerpad</Author>\n"
           "    <Description>" + XmlText(WeeklyTaskDescription(task, name)) + "</Description>\n"
           "  </RegistrationInfo>\n"
           "  <Triggers>\n"
           "    <CalendarTrigger>\n"
           "      <StartBoundary>" + start + "</StartBoundary>\n"
           "      <Enabled>true</Enabled>\n"
           "      <ScheduleByWeek>\n"
           "        <DaysOfWeek><" + day + " /></DaysOfWeek>\n"
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
           "      <Command>" + XmlText(task.program) + "</Command>\n"
           "      <Arguments>" + XmlText(WeeklyTaskArguments(task)) + "</Arguments>\n"
           "    </Exec>\n"
           "  </Actions>\n"
           "</Task>\n";
}

std::string WeeklyTaskCommand(const WeeklyTask& task, const std::string& name) {
    char time[16] = {};
    std::snprintf(time, sizeof time, "%02d:%02d", task.hour, task.minute);
    // schtasks takes the English day in three capitals: "SUN".
    const std::string line = "schtasks /Create /SC WEEKLY /D " + UpperCasedAscii(std::string(DayName(task.weekday), 3)) +
                             " /ST " + time + " /TN " + QuotedArgument(name) + " /TR " +
                             QuotedArgument(QuotedArgument(task.program) + " " + WeeklyTaskArguments(task));
    // The Command Prompt sees every quote, escaped or not, as opening or
    // closing; what it then takes as outside quotes must not end the
    // command ("Rock & Roll").
    std::string typed;
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == '&' || c == '|' || c == '<' || c == '>' || c == '^')) typed += '^';
        typed += c;
    }
    return typed;
}

std::string WeeklyTaskMessage(TaskOutcome outcome, const WeeklyTask& task, const std::string& name,
                              const std::string& reason, const std::string& logName) {
    char time[16] = {};
    std::snprintf(time, sizeof time, "%02d:%02d", task.hour, task.minute);
    const std::string when = std::string("elke ") + kDutchDays[task.weekday >= 0 && task.weekday < 7 ? task.weekday : 0] +
                             " om " + time;
    switch (outcome) {
    case TaskOutcome::Made:
        return "Zekerpad maakt nu " + when + " een back-up van deze show in:\n" + task.destination +
               "\n\nDat doet de Taakplanner van Windows met de taak \"" + name +
               "\", zolang u dan bij Windows aangemeld bent; stond de computer uit, dan volgt de back-up zodra dat "
               "kan. Is de doelschijf (bijvoorbeeld de USB-stick) er op dat moment niet, dan staat dat in het logboek " +
               logName + " en haalt de volgende back-up alles in.\n\n" + HowToRemove(name);
    case TaskOutcome::AlreadyThere:
        return "Voor deze back-up is er al een wekelijkse taak: \"" + name +
               "\" in de Taakplanner van Windows. Zekerpad heeft er geen tweede bij gemaakt.\n\n" + HowToRemove(name);
    case TaskOutcome::NoScheduler:
    case TaskOutcome::Failed:
        break;
    }
    return std::string("Zekerpad kan de wekelijkse taak niet maken: ") +
           (outcome == TaskOutcome::NoScheduler ? "de Taakplanner van Windows is niet bereikbaar.\n"
                                                : "de Taakplanner van Windows weigert hem.\n") +
           reason + "\n\nU kunt de taak ook zelf maken: typ in de Opdrachtprompt deze regel (hij staat ook in het "
           "logboek " + logName + "):\n" + WeeklyTaskCommand(task, name);
}

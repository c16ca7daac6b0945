// The weekly back-up as a task of Windows' Task Scheduler: its name and
// its definition (the task's XML), made here without any system call so
// that what the program would register can be checked anywhere.
#pragma once

#include <string>

// Every text in UTF-8, as the back-up's paths are.
struct WeeklyTask {
    std::string program;      // the full path of Zekerpad.exe
    std::string show;         // the show file, in full
    std::string destination;  // the folder the back-up goes into, as the dialog's run had it
    // The first run, in local time; the task then runs on that day of the
    // week at that time. weekday: 0 Sunday ... 6 Saturday.
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, weekday = 0;
};

// "Zekerpad back-up Zomer" for the show's folder "Zomer"; with a number
// above 1, "Zekerpad back-up Zomer (2)".
std::string WeeklyTaskName(const std::string& showFolderName, int number = 1);

// /back-up "<show>" "<destination>", quoted so that the program reads
// both back exactly.
std::string WeeklyTaskArguments(const WeeklyTask& task);

// What the task says of itself in the Task Scheduler: which show goes where,
// and how to remove it. A task of this name with this description is this
// back-up's.
std::string WeeklyTaskDescription(const WeeklyTask& task, const std::string& name);

// The task's definition for the user who registers it: only while that
// user is logged on, without raised rights, a missed run made up when the
// computer is on again, never two runs at once, and at most 12 hours.
std::string WeeklyTaskXml(const WeeklyTask& task, const std::string& name);

// The same task for the Command Prompt (schtasks), the line a user can type
// where the interface is missing: /TR holds the whole command, quoted once
// more.
std::string WeeklyTaskCommand(const WeeklyTask& task, const std::string& name);

enum class TaskOutcome {
    Made,
    AlreadyThere,  // a task of Zekerpad runs this very command already
    NoScheduler,   // the Task Scheduler's interface cannot be reached
    Failed,
};

// What the back-up dialog says after "Elke week automatisch...": when the
// task runs, what happens when the stick is not there, and how to remove
// it; or why none was made, with the line for the Command Prompt. The task's
// texts and name as shown (code page); reason: the system's, when not made.
std::string WeeklyTaskMessage(TaskOutcome outcome, const WeeklyTask& task, const std::string& name,
                              const std::string& reason, const std::string& logName);

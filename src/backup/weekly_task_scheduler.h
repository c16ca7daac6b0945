// Registers the weekly back-up with Windows' Task Scheduler through its own
// interface (ITaskService), for the user logged on and without
// administrator rights.
#pragma once

#include <string>

#include "backup/weekly_task.h"

struct TaskRegistration {
    TaskOutcome outcome = TaskOutcome::Failed;
    std::string name;  // the task made or found (else the first name), UTF-8
    long error = 0;    // the HRESULT when it was not made
};

// The first free name of WeeklyTaskName(showFolderName, 1, 2, ...) gets the
// task; a task of one of those names that runs the same program with the
// same arguments is left as it is (AlreadyThere).
TaskRegistration RegisterWeeklyTask(const WeeklyTask& task, const std::string& showFolderName);

// The task's name is freed again (for the tests).
bool DeleteWeeklyTask(const std::string& name);

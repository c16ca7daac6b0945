#include "backup/weekly_task_scheduler.h"

#include <windows.h>
#include <taskschd.h>

#include "common/wide_text.h"
#include "common/win_raii.h"

namespace {
// The highest number a name of the same show gets; beyond it, a task of
// Zekerpad for this show is made by hand.
constexpr int kMaxTaskNumber = 9;

// A task registered under one of the names is this back-up's when it
// describes this show and destination and, where its action can be read,
// runs this program with these arguments.
bool RunsSame(IRegisteredTask* registered, const std::wstring& description, const std::wstring& program,
              const std::wstring& arguments) {
    ComRef<ITaskDefinition> definition;
    ComRef<IRegistrationInfo> info;
    ScopedBstr said;
    if (FAILED(registered->get_Definition(definition.put())) || FAILED(definition->get_RegistrationInfo(info.put())) ||
        FAILED(info->get_Description(said.put())) || said.text() != description)
        return false;
    ComRef<IActionCollection> actions;
    ComRef<IAction> action;
    ComRef<IExecAction> exec;
    ScopedBstr path, args;
    if (FAILED(definition->get_Actions(actions.put())) || FAILED(actions->get_Item(1, action.put())) ||
        FAILED(action->QueryInterface(IID_IExecAction, exec.putVoid())) || FAILED(exec->get_Path(path.put())) ||
        FAILED(exec->get_Arguments(args.put())))
        return true;  // a scheduler that cannot tell: the description is ours
    return path.text() == program && args.text() == arguments;
}

struct RootFolder {
    ScopedComApartment com;
    ComRef<ITaskService> service;
    ComRef<ITaskFolder> folder;
    HRESULT error = S_OK;
    RootFolder() {
        error = ::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                   service.putVoid());
        VARIANT none;
        ::VariantInit(&none);
        if (SUCCEEDED(error)) error = service->Connect(none, none, none, none);
        if (SUCCEEDED(error)) error = service->GetFolder(ScopedBstr(L"\\").get(), folder.put());
    }
};
}  // namespace

TaskRegistration RegisterWeeklyTask(const WeeklyTask& task, const std::string& showFolderName) {
    TaskRegistration result;
    result.name = WeeklyTaskName(showFolderName);
    RootFolder root;
    if (FAILED(root.error)) {
        result.outcome = TaskOutcome::NoScheduler;
        result.error = root.error;
        return result;
    }
    const std::wstring program = WideFromUtf8(task.program), arguments = WideFromUtf8(WeeklyTaskArguments(task));
    VARIANT none;
    ::VariantInit(&none);
    for (int number = 1; number <= kMaxTaskNumber; ++number) {
        result.name = WeeklyTaskName(showFolderName, number);
        const ScopedBstr name(WideFromUtf8(result.name));
        ComRef<IRegisteredTask> existing;
        if (SUCCEEDED(root.folder->GetTask(name.get(), existing.put()))) {
            if (RunsSame(existing.get(), WideFromUtf8(WeeklyTaskDescription(task, result.name)), program,
                         arguments)) {
                result.outcome = TaskOutcome::AlreadyThere;
                return result;
            }
            continue;  // another show's, or another destination's
        }
        ComRef<IRegisteredTask> made;
        const HRESULT hr = root.folder->RegisterTask(name.get(), ScopedBstr(WideFromUtf8(WeeklyTaskXml(task, result.name))).get(),
                                                     TASK_CREATE, none, none, TASK_LOGON_INTERACTIVE_TOKEN, none,
                                                     made.put());
        if (SUCCEEDED(hr)) {
            result.outcome = TaskOutcome::Made;
            return result;
        }
        if (hr != HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS)) {
            result.error = hr;
            return result;
        }
    }
    result.error = HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
    return result;
}

bool DeleteWeeklyTask(const std::string& name) {
    RootFolder root;
    return SUCCEEDED(root.error) && SUCCEEDED(root.folder->DeleteTask(ScopedBstr(WideFromUtf8(name)).get(), 0));
}

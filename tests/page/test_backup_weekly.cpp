// "Elke week automatisch..." in the back-up dialog: offered only after a
// complete back-up, it makes a weekly task of the Task Scheduler for the
// user that runs /back-up with this show and this destination.
#include <taskschd.h>

#include <cstring>

#include "backup/backup_dialog.h"
#include "backup/weekly_task_scheduler.h"
#include "page/repair_fixture.h"
#include "resource.h"

namespace {
// What the Task Scheduler holds under a name, read through its own
// interface, as Windows would run it.
struct RegisteredTask {
    bool found = false;
    std::wstring program, arguments;
    TASK_LOGON_TYPE logon = TASK_LOGON_NONE;
    TASK_RUNLEVEL_TYPE level = TASK_RUNLEVEL_HIGHEST;
    std::wstring xml, description;
};
RegisteredTask ReadTask(const std::wstring& name) {
    RegisteredTask read;
    ScopedComApartment com;
    ComRef<ITaskService> service;
    ComRef<ITaskFolder> folder;
    ComRef<IRegisteredTask> task;
    ComRef<ITaskDefinition> definition;
    ComRef<IPrincipal> principal;
    ComRef<IActionCollection> actions;
    ComRef<IAction> action;
    ComRef<IExecAction> exec;
    VARIANT none;
    ::VariantInit(&none);
    if (FAILED(::CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                  service.putVoid())) ||
        FAILED(service->Connect(none, none, none, none)) ||
        FAILED(service->GetFolder(ScopedBstr(L"\\").get(), folder.put())) ||
        FAILED(folder->GetTask(ScopedBstr(name).get(), task.put())))
        return read;
    read.found = true;
    ScopedBstr xml, program, arguments;
    if (SUCCEEDED(task->get_Xml(xml.put()))) read.xml = xml.text();
    ComRef<IRegistrationInfo> info;
    ScopedBstr description;
    if (SUCCEEDED(task->get_Definition(definition.put())) && SUCCEEDED(definition->get_RegistrationInfo(info.put())) &&
        SUCCEEDED(info->get_Description(description.put())))
        read.description = description.text();
    if (definition && SUCCEEDED(definition->get_Principal(principal.put()))) {
        principal->get_LogonType(&read.logon);
        principal->get_RunLevel(&read.level);
    }
    if (definition && SUCCEEDED(definition->get_Actions(actions.put())) && SUCCEEDED(actions->get_Item(1, action.put())) &&
        SUCCEEDED(action->QueryInterface(IID_IExecAction, exec.putVoid())) && SUCCEEDED(exec->get_Path(program.put())) &&
        SUCCEEDED(exec->get_Arguments(arguments.put()))) {
        read.program = program.text();
        read.arguments = arguments.text();
    }
    return read;
}

class BackupWeekly : public RepairPageTest {
protected:
    void SetUp() override {
        RepairPageTest::SetUp();
        m_cleanup.push_back(Root('E'));
        MakeTestFile(Show() + "weekshow.ws4", TestBytes(300, 1));
        MakeTestFile(Show() + "Audio\\intro.wav", TestBytes(250000, 2));
        ASSERT_TRUE(MakeFolderTree(Dest()));
        ForgetTasks();
    }
    void TearDown() override {
        ForgetTasks();
        RepairPageTest::TearDown();
    }
    // Tasks are kept by the system, not in a test's folder.
    static void ForgetTasks() {
        DeleteWeeklyTask("Zekerpad back-up Weekshow");
        DeleteWeeklyTask("Zekerpad back-up Weekshow (2)");
    }
    std::string Show() const { return Root('C') + "\\Weekshow\\"; }
    std::string Dest() const { return Root('E') + "\\Back-ups"; }

    // Opens the dialog, runs a back-up to Dest(), and clicks the button
    // when it is there; what the dialog showed, in order.
    struct Seen {
        bool before = true, after = false;
        std::string summary;
    };
    Seen BackUpAndClick(bool click) {
        Seen seen;
        ModalDriver dialog("Zekerpad - Back-up maken", {[&](HWND dlg) {
                               ::SetDlgItemTextA(dlg, IDC_BACKUP_DEST, Dest().c_str());
                               seen.before = IsVisible(dlg, IDC_BACKUP_WEEKLY);
                               ClickDialogButton(dlg, IDC_BACKUP_START);
                               seen.after = IsVisible(dlg, IDC_BACKUP_WEEKLY);
                               seen.summary = ItemText(dlg, IDC_BACKUP_SUMMARY);
                               if (click && seen.after) ClickDialogButton(dlg, IDC_BACKUP_WEEKLY);
                               ClickDialogButton(dlg, IDCANCEL);
                           }});
        CDialogBackup backup(Show(), Show() + "weekshow.ws4");
        backup.DoModal(nullptr);
        EXPECT_TRUE(dialog.Done());
        return seen;
    }
};
}  // namespace


// After a complete back-up the task runs this very command, as the user,
// without raised rights, every week; a second click makes no second task,
// and the message says how to remove it.
TEST_F(BackupWeekly, AfterACompleteBackupTheTaskRunsThisCommandEveryWeekOnce) {
    FreeSpaceStub space(1000000000);
    const Seen seen = BackUpAndClick(true);
    EXPECT_FALSE(seen.before);
    ASSERT_TRUE(seen.after) << seen.summary;
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    const std::string said = m_boxes.Boxes()[0].text;
    EXPECT_EQ(said.find("Zekerpad maakt nu elke "), 0u) << said;
    EXPECT_NE(said.find(" een back-up van deze show in:\n" + Dest() + "\n\nDat doet de Taakplanner van Windows met "
                        "de taak \"Zekerpad back-up Weekshow\", zolang u dan bij Windows aangemeld bent;"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("Of typ in de Opdrachtprompt:\nschtasks /Delete /TN \"Zekerpad back-up Weekshow\" /F"),
              std::string::npos)
        << said;
    EXPECT_EQ(m_boxes.Boxes()[0].type, static_cast<unsigned>(MB_OK | MB_ICONINFORMATION));

    const RegisteredTask task = ReadTask(L"Zekerpad back-up Weekshow");
    ASSERT_TRUE(task.found);
    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string description = "Maakt elke week met Zekerpad een back-up van de show " + Show() +
                                    "weekshow.ws4 in " + Dest() + ". Verwijderen: in de Taakplanner, of met "
                                    "schtasks /Delete /TN \"Zekerpad back-up Weekshow\" /F";
    EXPECT_EQ(task.description, std::wstring(description.begin(), description.end()));
    EXPECT_NE(task.xml.find(L"<StartWhenAvailable>true</StartWhenAvailable>"), std::wstring::npos);
    // Wine's Task Scheduler keeps neither the trigger, the principal nor
    // the action of a task it is given (the pure tests prove the XML); on
    // Windows the task runs this very command.
    if (!RunningUnderWine()) {
        EXPECT_EQ(task.program, std::wstring(program, program + std::strlen(program)));
        const std::string arguments = "/back-up \"" + Show() + "weekshow.ws4\" \"" + Dest() + "\"";
        EXPECT_EQ(task.arguments, std::wstring(arguments.begin(), arguments.end()));
        EXPECT_EQ(task.logon, TASK_LOGON_INTERACTIVE_TOKEN);
        EXPECT_EQ(task.level, TASK_RUNLEVEL_LUA);
        EXPECT_NE(task.xml.find(L"<WeeksInterval>1</WeeksInterval>"), std::wstring::npos);
    }
    EXPECT_NE(LogSoFar().find("-> wekelijkse taak gemaakt - Zekerpad back-up Weekshow: "), std::string::npos)
        << LogSoFar();

    // Again: the task is there already, and stays the only one.
    const Seen again = BackUpAndClick(true);
    ASSERT_TRUE(again.after);
    ASSERT_EQ(m_boxes.Boxes().size(), 2u);
    EXPECT_EQ(m_boxes.Boxes()[1].text.find("Voor deze back-up is er al een wekelijkse taak: \"Zekerpad back-up "
                                           "Weekshow\" in de Taakplanner van Windows. Zekerpad heeft er geen tweede "
                                           "bij gemaakt."),
              0u)
        << m_boxes.Boxes()[1].text;
    EXPECT_FALSE(ReadTask(L"Zekerpad back-up Weekshow (2)").found);
    EXPECT_TRUE(DeleteWeeklyTask("Zekerpad back-up Weekshow"));
    EXPECT_FALSE(ReadTask(L"Zekerpad back-up Weekshow").found);
}

// A back-up that is not complete is not worth repeating: no button.
TEST_F(BackupWeekly, AnIncompleteBackupOffersNoWeeklyTask) {
    FreeSpaceStub space(1000000000);
    UniqueFile held = HoldOpen(Show() + "Audio\\intro.wav", 0);
    ASSERT_TRUE(held);
    const Seen seen = BackUpAndClick(true);
    EXPECT_EQ(seen.summary.find("De back-up is niet volledig"), 0u) << seen.summary;
    EXPECT_FALSE(seen.after);
    EXPECT_FALSE(ReadTask(L"Zekerpad back-up Weekshow").found);
}

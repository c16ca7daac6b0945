// Starting Wings on the chosen show and waiting until the user closes it.
#include <windows.h>

#include <string>
#include <vector>

#include "files/file_helpers.h"
#include "repair/wings_launcher.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"
#include "common/system_error.h"
#include "common/win_raii.h"
#include "wizard/long_work.h"

namespace {
constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

// The folder Wings keeps under HKCU\software\AV Stumpfl\Wings\Global.
// Keys missing along the way are created empty, as Wings itself would;
// any failure gives an empty folder.
std::string ReadWingsFolder() {
    UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, kAccess, key.put()) != ERROR_SUCCESS)
        return std::string();
    for (const char* name : {"AV Stumpfl", "Wings", "Global"}) {
        UniqueRegKey child;
        if (::RegCreateKeyExA(key.get(), name, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr,
                              child.put(), nullptr) != ERROR_SUCCESS)
            return std::string();
        key = std::move(child);  // closes the parent
    }

    DWORD size = 0;
    if (::RegQueryValueExA(key.get(), "Installation Directory", nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size == 0)
        return std::string();
    std::vector<char> value(size);
    if (::RegQueryValueExA(key.get(), "Installation Directory", nullptr, nullptr,
                           reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
        return std::string();
    // A value stored without its terminator still ends at the buffer's end.
    std::string folder(value.data(), size <= value.size() ? size : value.size());
    const size_t zero = folder.find('\0');
    if (zero != std::string::npos) folder.erase(zero);
    return folder;
}
}  // namespace

bool LaunchWings(HWND owner) {
    const std::string exe = ReadWingsFolder() + "\\wings.exe";
    LogValue("csExe", exe);
    if (!FileExists(exe)) {
        // Owned by the wizard, so that it cannot be used while the box is up.
        ShowMessage("Helaas, Wings kan niet gelocaliseerd worden\n\nU zult Wings op de voor u normale "
                    "manier moeten starten.",
                    owner);
        LogValue("csExe", "bestaat niet");
        return false;
    }
    LogValue("csExe", "Bestaat");

    const std::string arg = "\"" + g_csRecentFile + "\"";
    LogValue("csArg", arg);

    // The quoted show stands in the place of the program's own name and
    // again as its first argument. CreateProcessA may write into the line.
    const std::string line = arg + " " + arg;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');

    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                          &pi)) {
        // Found but not startable (no program, no right to run it, made for
        // another kind of Windows): say so, and let the page go on as when
        // Wings was not found, so nothing offers a fresh analysis.
        const DWORD error = ::GetLastError();
        ShowMessage("Wings kon niet worden gestart:\n" + exe + "\n\n" + SystemErrorText(error) +
                        "\n\nU zult Wings op de voor u normale manier moeten starten.",
                    owner);
        LogValue("csExe", "starten niet gelukt");
        return false;
    }
    UniqueKernelHandle process(pi.hProcess);
    UniqueKernelHandle thread(pi.hThread);
    // Wings may save the show with new paths: the analysis is overtaken.
    g_bRepairChanged = 1;
    // The wizard cannot be used until Wings ends, but it keeps painting
    // and answering the system meanwhile.
    CLongWork::WaitDisabled(owner, process.get());
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.get(), &exitCode);
    return true;
}

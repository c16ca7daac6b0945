#include "services/settings.h"

#include <windows.h>

#include "files/path_split.h"
#include "services/msgbox.h"
#include "services/run_log.h"
#include "services/state.h"

namespace {
constexpr char kSection[] = "Zekerpad";

struct Setting {
    const char* key;
    std::string* value;
    const char* def;
    bool subfolder;  // a subfolder name of the show's folder
};

// In the order the values are read and written.
const Setting kSettings[] = {
    {"ShowBestand", &g_csRecentFile, "", false},
    {"SubmapAudio", &g_csSubmapAudio, "Audio", true},
    {"SubmapPlaatjes", &g_csSubmapPlaatjes, "Plaatjes", true},
    {"SubmapOverige", &g_csSubmapOverige, "Overige", true},
};
}  // namespace

std::string SettingsFileName() { return ProgramTitle() + ".INI"; }

std::string ReadProfileValue(const std::string& iniName, const char* key, const char* def) {
    char buf[4096];
    DWORD n = ::GetPrivateProfileStringA(kSection, key, def, buf, sizeof buf, iniName.c_str());
    return std::string(buf, n);
}

// Only back-ups use it, and it is written only after one was started.
constexpr char kBackupMapKey[] = "BackupMap";

std::string ReadSubfolderSetting(const std::string& iniName, const char* key, const char* def) {
    std::string value = ReadProfileValue(iniName, key, def);
    // Empty stays empty, as for every key: it names the show's own folder.
    const std::string why = value.empty() ? std::string() : SubfolderNameProblem(value);
    if (why.empty()) return value;
    LogValue(key, "\"" + value + "\" kan niet worden gebruikt (" + why + "); Zekerpad gebruikt \"" + def + "\"");
    return def;
}

void ReadSettings(const std::string& iniName) {
    for (const Setting& s : kSettings)
        *s.value = s.subfolder ? ReadSubfolderSetting(iniName, s.key, s.def) : ReadProfileValue(iniName, s.key, s.def);
    g_csBackupMap = ReadProfileValue(iniName, kBackupMapKey, "");
    g_csContact = ReadProfileValue(iniName, "Contact", "");
}

// Reading a profile value strips surrounding blanks and one pair of
// surrounding quotes; quoting such a value keeps it as the user typed it.
static std::string ProfileText(const std::string& value) {
    if (value.empty()) return value;
    const bool blankAtEdge = value.front() == ' ' || value.front() == '\t' ||
                             value.back() == ' ' || value.back() == '\t';
    const bool quoted = value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                                              (value.front() == '\'' && value.back() == '\''));
    return blankAtEdge || quoted ? '"' + value + '"' : value;
}

void WriteSettings(const std::string& iniName) {
    for (const Setting& s : kSettings)
        ::WritePrivateProfileStringA(kSection, s.key, ProfileText(*s.value).c_str(), iniName.c_str());
    if (g_bBackupStarted)
        ::WritePrivateProfileStringA(kSection, kBackupMapKey, ProfileText(g_csBackupMap).c_str(), iniName.c_str());
}

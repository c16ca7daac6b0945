#include "services/settings.h"

#include <windows.h>

#include "services/msgbox.h"
#include "services/state.h"

namespace {
constexpr char kSection[] = "Zekerpad";

struct Setting {
    const char* key;
    std::string* value;
    const char* def;
};

// In the order the values are read and written.
const Setting kSettings[] = {
    {"ShowBestand", &g_csRecentFile, ""},
    {"SubmapAudio", &g_csSubmapAudio, "Audio"},
    {"SubmapPlaatjes", &g_csSubmapPlaatjes, "Plaatjes"},
    {"SubmapOverige", &g_csSubmapOverige, "Overige"},
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

void ReadSettings(const std::string& iniName) {
    for (const Setting& s : kSettings) *s.value = ReadProfileValue(iniName, s.key, s.def);
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

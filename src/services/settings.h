// The four settings of the program, kept in a private profile file named
// after the executable (Zekerpad.INI) in the Windows folder.
#pragma once

#include <string>

// "Zekerpad.INI" for Zekerpad.exe: no folder, so Windows puts it in its own.
std::string SettingsFileName();

// Reads the four keys into the shared values, with defaults for absent keys,
// the last destination of a back-up ("BackupMap", empty when absent) and
// the contact lines set by the installers ("Contact", empty when absent).
void ReadSettings(const std::string& iniName = SettingsFileName());
// Writes the four shared values back, in the same order, and after them
// "BackupMap" once a back-up has been made in this run; values with
// blanks at either end or in quotes come back unchanged.
void WriteSettings(const std::string& iniName = SettingsFileName());

// A subfolder name ("SubmapAudio" and the others), read as every value;
// one that would lead outside the show's folder or that Windows cannot
// make ("..\..\windows", "aux", "Audio.") gives the default instead, and
// the run log says why.
std::string ReadSubfolderSetting(const std::string& iniName, const char* key, const char* def);

// One value, as the program reads them all (4096-character buffer).
std::string ReadProfileValue(const std::string& iniName, const char* key, const char* def);

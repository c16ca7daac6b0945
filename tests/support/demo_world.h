// The demo world: a show on C: that gives every page of the wizard work,
// the settings that name it, and the stand-in for Wings registered.
#pragma once

#include <string>
#include <vector>

extern const char kDemoShow[];  // C:\Shows\Demo\demo.ws4

struct DemoWorldOptions {
    // Folder that holds the stand-in wings.exe (a Windows path); empty
    // leaves the registry alone.
    std::string wingsFolder;
    // Adds a reference to a file that exists nowhere, so the show can never
    // get green light.
    bool withLostFile = false;
};

// Registers the folder as Wings' installation folder in the registry, where
// the launcher looks for it.
bool RegisterWingsInstallation(const std::string& folder);

// Makes the world afresh (earlier demo files are removed first). False
// when a file or folder could not be made.
bool MakeDemoWorld(const DemoWorldOptions& options);

// A world of a test's own: the show at showPath naming exactly these
// files (which the test makes itself), and the settings that name it.
bool MakeShowWorld(const std::string& showPath, const std::vector<std::string>& references);

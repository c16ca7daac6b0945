// A show file in a copy of its folder (a stick, the venue's PC) still names
// its files by their old place ("C:\Shows\Demo\Audio\intro.wav"). Each file
// is looked for at the same place below the copy ("E:\Demo\Audio\intro.wav")
// by finding the old folder the references share with the show: the folder
// that, put in the copy's place, finds the most of them.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ShowCopyMap {
    std::string oldFolder;  // "C:\Shows\Demo\"; empty when the show names no file
    int named = 0;          // distinct files the show names
    int atSamePlace = 0;    // of those, found at the same place below the copy
};

// references: as the show names them (code page), duplicates allowed;
// copyFolder ends in "\"; present says whether a file is there.
ShowCopyMap MapShowCopy(const std::vector<std::string>& references, const std::string& copyFolder,
                        const std::function<bool(const std::string&)>& present);

// Where a reference lies below the copy ("E:\Demo\Audio\intro.wav"), or
// empty for one outside the old folder.
std::string PlaceInCopy(const std::string& reference, const std::string& oldFolder, const std::string& copyFolder);

// The analysis page's line for a show that is a copy of another folder
// with at least one of its files in the same place; empty otherwise (also
// for a show whose files are in its own folder).
std::string ShowCopyNote(const ShowCopyMap& map, const std::string& showFolder);

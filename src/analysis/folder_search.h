// The walk behind the search for shows: one folder tree, depth first,
// filling a tree control and a list box as it goes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// Walks folder and everything below it and returns how many files matching
// pattern it found there. Each folder gets a node (its full path, ending in
// "\") under parent, inserted sorted; each match becomes a leaf with its
// name under its folder's node and a line with its full path in listBox.
// Nodes of folders without a match anywhere below are removed again, so a
// fruitless call leaves the tree as it was. While g_pSearchStatus is set,
// that control shows the folder being entered. Paths longer than
// kMaxBuiltPath are passed over, never cut. Under a CLongWork the walk
// lets the window answer as it goes and ends early once a stop is asked
// for, keeping what it found until then.
int SearchFolderTree(HWND tree, HTREEITEM parent, HWND listBox, const std::string& folder,
                     const std::string& pattern);

// The roots ("C:\") of the drives a search walks: the fixed drives, and
// the removable ones too when asked (not network, CD/DVD or RAM drives).
std::vector<std::string> DriveRoots(bool withRemovable);

// Where the searches (for shows, for missing files) begin: DriveRoots in
// the program. Tests replace it, so that a search walks a test folder of
// their own instead of every drive of the machine.
using SearchRootsFn = std::vector<std::string> (*)(bool withRemovable);
extern SearchRootsFn g_pfnSearchRoots;

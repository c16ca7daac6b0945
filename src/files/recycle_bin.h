// The Recycle Bin: whether a file's drive has one, and moving a file into
// it. A file the user may still want back goes there instead of being
// deleted for good.
#pragma once

#include <string>

struct HWND__;

// True when the drive of this path (a code-page path as a show names it)
// keeps a Recycle Bin: a fixed local drive. Removable drives (a USB
// stick), network drives and paths without a drive letter have none.
bool DriveHasRecycleBin(const std::string& path);

// True when the drive of this path is removable (a USB stick): the user
// takes it out after the work. Only the drive letter is read.
bool DriveIsRemovable(const std::string& path);

// Moves the file into its drive's Recycle Bin without asking, unless the
// system would have to delete it for good after all (too big for the bin):
// then the system asks the user first, in a box owned by owner. True only
// when the file is gone from its place.
bool MoveToRecycleBin(const std::string& path, HWND__* owner = nullptr);

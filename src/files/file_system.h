// The one thin layer between the program and the disk's folders: a walk of
// a folder tree, a temporary file to write under, and the long form of a
// path. Names come from the disk as the wide-character calls give them, so
// a name the code page cannot hold ("Dvořák", "富士") is never replaced by
// a look-alike; whoever needs code-page text converts what it keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/win_raii.h"

// The path as the wide-character calls take it past 260 characters:
// "\\?\C:\..." or "\\?\UNC\server\share\...". A path that already has the
// prefix, and a relative one, stays as it is (the prefix turns off the
// system's own completion of a path, so it is added to full paths only).
std::wstring LongPath(const std::wstring& path);

// The full path the system makes of a path (the current folder and drive
// filled in, "." and ".." resolved), however long; empty when it makes none.
std::wstring FullWidePath(const std::wstring& path);

// True for the "." and ".." entries a folder listing shows for itself and
// its parent.
bool IsDotEntry(const wchar_t* name);

// One entry of a folder's listing, as the system gives it.
struct FolderEntry {
    const wchar_t* name;  // valid only during the call that gets it
    size_t nameLength;
    uint32_t attributes;
    int64_t size;
    uint64_t writeTime;  // 100-nanosecond ticks since 1601, UTC
    bool isFolder;
    // A junction, symbolic link or mount point: a name for another folder.
    // Other reparse points (a file kept in the cloud) are the entry itself.
    bool isLink;
};

// Where the walk is. path is the folder's full path, ending in a
// backslash, without the long-path prefix ("C:\Shows\Demo\Audio\");
// relative is its part below the walked root ("Audio\", empty for the
// root itself); depth is 0 for the root. Valid only during the call.
struct FolderPlace {
    std::wstring_view path;
    std::wstring_view relative;
    int depth;
};

// What a walk tells the one who asked for it, in this order per folder:
// OnFolder, then OnEntry for every entry of its one listing (or
// OnUnreadable), then the subfolders chosen in OnEntry, each walked the
// same way in the order of the listing, then OnFolderDone. So a folder's
// entries always come before anything inside its subfolders.
class CFolderVisitor {
public:
    virtual ~CFolderVisitor() = default;
    // Before the folder is listed; false stops the walk here (the folder is
    // not listed, and no other folder is entered).
    virtual bool OnFolder(const FolderPlace& folder) = 0;
    // An entry of the folder; "." and ".." never come. True for a folder
    // walks into it once the listing is done; a link is walked into only
    // when the walk follows links.
    virtual bool OnEntry(const FolderPlace& folder, const FolderEntry& entry) = 0;
    // After the folder's subfolders, also when the walk was stopped below
    // it; not for a folder whose OnFolder answered false.
    virtual void OnFolderDone(const FolderPlace& /*folder*/) {}
    // The folder could not be listed, or its listing broke off, with the
    // system's error; the walk goes on with the next folder.
    virtual void OnUnreadable(const FolderPlace& /*folder*/, uint32_t /*error*/) {}
};

struct FolderWalkResult {
    bool stopped = false;    // an OnFolder answered false
    uint32_t rootError = 0;  // the root itself could not be listed
};

// Walks root (a folder path, absolute or relative, with or without its
// trailing backslash; "C:" is taken as "C:\") and everything below it,
// depth first, with one listing per folder through the wide-character
// calls and the long-path prefix, so no path is too long to walk. Folder
// links (junctions, symbolic links, mount points) lead to folders that are
// walked under their own names already, or back up the tree: they are
// reported but not followed unless followLinks is set.
FolderWalkResult WalkFolderTree(const std::wstring& root, CFolderVisitor& visitor, bool followLinks = false);

// A new, empty file under a temporary name (TempFileName) in folder, a
// path the wide-character calls take (ending in a backslash, or empty for
// the current folder), opened for reading and writing with DELETE access,
// so that a ScopedPartialFile can guard it; its name in *name. A file
// written so and then renamed is never seen half-written under its real
// name. An invalid handle, with the system's error set, when none could be
// made.
UniqueFile CreateTempFile(const std::wstring& folder, std::string* name);

// The same for a folder in code-page text (ending in a backslash, or
// empty), its whole path in *path; refused with ERROR_FILENAME_EXCED_RANGE
// when that path would be longer than maxPath.
UniqueFile CreateTempFileIn(const std::string& folder, size_t maxPath, std::string* path);

// File and path helpers shared by the analysis, the selection, the
// launcher and the repairs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Paths the program builds itself may not exceed this (plus terminator);
// a longer one is refused by the caller's own error path.
constexpr size_t kMaxBuiltPath = 259;

// True when the path names a file on a disk that can be opened for
// reading. Folders, devices ("C:\Shows\nul.wav" opens the device NUL),
// pipes, locked and unreadable files count as absent.
bool FileExists(const std::string& path);

// True when the path names a file on a disk, whether or not it can be
// opened: also one that another program holds locked. Folders, devices
// and pipes are false.
bool FilePresent(const std::string& path);

// The system's error code of an open for reading that lets others do
// anything with the file; 0 when it opens. Tells a file another program
// holds (a sharing violation) from one this user may not read (access
// denied). Goes through g_pfnReadOpenError, which tests may replace.
uint32_t ReadOpenError(const std::string& path);
using ReadOpenErrorFn = uint32_t (*)(const std::string& path);
extern ReadOpenErrorFn g_pfnReadOpenError;
uint32_t SystemReadOpenError(const std::string& path);

// Length of the file opened for reading with no sharing allowed, or -1 when
// it cannot be opened so (missing, a folder, or another program has it
// open). The file is closed again at once.
int64_t ExclusiveFileLength(const std::string& path);

// The path made absolute the way Windows resolves it (a drive-relative
// "C:demo.ws4" against that drive's current directory); the path itself
// when it cannot be resolved.
std::string FullPathName(const std::string& path);

// A name of this file or folder that the code-page calls take: the path
// itself when the code page holds every character of it, else the short
// name the system keeps for it ("C:\Shows\LDZ~1\show.ws4" for Łódź) when
// the code page holds that; empty when neither (the file does not exist,
// or its disk keeps no short names).
std::string CodePagePathOf(const std::wstring& path);

// True when the path names a folder that can be entered. Leaves the
// current drive, the current directory and the tested drive's own current
// directory as they were. Paths over kMaxBuiltPath characters are false.
bool FolderExists(const std::string& path);

// Told the bytes copied so far: after the first chunk, then at most every
// kCopyProgressMs, and after the last; false stops the copy.
using CopyProgressFn = std::function<bool(int64_t copiedBytes)>;
constexpr unsigned long kCopyProgressMs = 100;

// Copies source to a new target in 500000-byte chunks, written under a
// temporary name in the target's folder and renamed to the target once
// complete and flushed. True only when the whole file arrived (the
// target's length equals the source's). Never overwrites: an existing
// target is false and stays untouched. On failure, and when progress
// stops it, the temporary file is removed; the source is only read.
bool CopyFileChunked(const std::string& source, const std::string& target,
                     const CopyProgressFn& progress = nullptr);

// The copy buffer's size; decimal, not 512 KiB.
constexpr size_t kCopyChunkBytes = 500000;

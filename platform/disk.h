// Drives, free space, directory creation, existence probes and temporary
// file names. Results only: none of these shows a message.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

// Free bytes of drive number drive (1 = A:, only the low byte is used).
// More than 32 bits can hold is reported as 0xFFFFFFFF: callers compare it
// with 32-bit requirements. On FALSE, bytes is left alone.
BOOL GetDiskFreeBytes(DWORD drive, DWORD& bytes);

// Lists, in ascending order, the drive numbers whose type is one of a set
// given as {n, type1, ..., typen}; A: and B: only when includeFloppies.
// TRUE when at least one drive was listed.
BOOL FindDrivesOfType(const DWORD* types, BOOL includeFloppies, std::vector<BYTE>& drives);

// Creates a directory and every missing directory above it (the drive part
// is never touched). Directories made before a later failure stay; a file
// already at the path fails with ERROR_ALREADY_EXISTS. Each directory made
// is added to *created, when given, the uppermost first.
BOOL CreateDirectoryPath(const std::string& path, std::vector<std::string>* created = nullptr);

// 0 when the file or directory exists, else the error of the failed search
// (ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ...).
DWORD ProbeFile(const std::string& path);

// 0 when the directory exists, else the search error. A directory whose
// listing is empty (an empty drive root) counts as missing: the result and
// the thread's last error are then ERROR_PATH_NOT_FOUND.
DWORD ProbeDirectory(const std::string& dir);

// Removes the directory when it is empty: 0, else the system's error
// (ERROR_DIR_NOT_EMPTY for one that holds anything).
DWORD RemoveEmptyDirectory(const std::string& dir);

// Creates an empty, uniquely named file "Filxxxx.tmp" in dir (the temporary
// directory when dir is empty) and returns its full name, or "" on failure.
std::string MakeTempFileName(const std::string& dir);

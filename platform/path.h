// Path strings and drive letters. Paths use the backslash as their only
// separator; directory strings never end in one, and a drive root is held as
// letter and colon (C:). Every function here is pure and safe on any string.
#pragma once

#include <string>

#include "framework/wintypes.h"

// Drive number of a drive letter: upper-cased by the ANSI code page, minus
// 0x40. A letter gives 1 (A) to 26 (Z); other characters are not checked.
DWORD DriveNumberOf(char c);

// The path before backslash number n (the first one is number 0). When the
// path has exactly n backslashes, or fewer, the whole path is the result.
std::string PathPrefix(const std::string& path, DWORD n);

// Text after the last separator. A trailing backslash, and backslashes at
// indexes 0 and 1 (\\SERVER, a root), never count as a separator.
std::string FileNamePart(const std::string& path);

// FileNamePart without its extension; a leading or trailing dot is kept.
std::string BaseName(const std::string& path);

// Text before the last separator (same rules as FileNamePart), or empty.
std::string DirectoryPart(const std::string& path);

// Syntax check of a destination typed by the user: a drive and colon,
// optionally followed by backslash-separated names of ASCII letters, digits,
// underscores and single inner spaces; 2 to 260 characters.
BOOL IsValidDestPath(const std::string& path);

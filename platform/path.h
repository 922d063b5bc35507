// Path strings and drive letters. Paths use the backslash as their only
// separator; directory strings never end in one, and a drive root is held as
// letter and colon (C:). Every function here is pure and safe on any string.
#pragma once

#include <string>

#include "framework/wintypes.h"

// The longest directory path that the probe and directory creation take: a
// directory must leave room for an 8.3 name within MAX_PATH, so that it holds
// at most MAX_PATH - 12 = 248 characters with its terminator.
const std::string::size_type MAX_DIRECTORY_PATH = 247;

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

// The path as the program of a command line: in double quotes when it holds
// a blank (else the system may start a program named by a shorter part of
// it), as it is otherwise.
std::string QuotedIfBlank(const std::string& path);

// The path in at most nMaxLength characters, shortened in the middle: its
// first component (the drive), "\\...", and as many of its last components
// as fit; when not even the file name fits, as much of the name's end as
// fits. The path as it is when it fits whole; never shorter than the first
// component and "\\...".
std::string ShortenPathInMiddle(const std::string& path, std::string::size_type nMaxLength);

// Files and folders as the Windows tests look at them: read back whole,
// written, listed with everything below them, and removed.
#pragma once

#include <string>
#include <vector>

std::string Contents(const std::string& path);
bool Exists(const std::string& path);
void WriteAt(const std::string& path, const std::string& contents);
// Deletes a directory with everything below it, read-only files included.
void RemoveTree(const std::string& dir);
// Every file and directory below dir, as paths relative to it, sorted;
// directories end in a backslash.
std::vector<std::string> ListTree(const std::string& dir);
// The entries of ListTree that are temporary files ("Fil*.tmp").
std::vector<std::string> TempFilesIn(const std::string& dir);

// A Windows path for a path the build recorded on the host (drive Z:).
std::string HostPath(const char* pszHostPath);

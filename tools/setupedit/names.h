// Rules for the names that become directories and files on the target
// machine. A name is one plain path component; the limits keep every
// installed path (and the installer's temporary files beside it) below
// MAX_PATH when the default destination is used.
#pragma once

#include <string>

constexpr std::size_t kMaxNameLength = 100;      // one file or directory name
constexpr std::size_t kMaxTreePathLength = 200;  // path below Applikation or WinSys
constexpr std::size_t kMaxDestDirLength = 44;    // "C:" + 44 + "\" + 200 + "\Filxxxx.tmp" = 259

// Empty when name is a usable component, else the reason it is not.
std::string CheckComponent(const std::string& name);

// Case-insensitive comparison, as the target's file system compares names.
bool SameName(const std::string& a, const std::string& b);

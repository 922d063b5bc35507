// Rules for the names that become directories and files on the target
// machine. A name is one plain path component (model/path_component.h); the
// limits keep every installed path (and the installer's temporary files
// beside it) below MAX_PATH when the default destination is used.
#pragma once

#include <string>

#include "model/path_component.h"

constexpr std::size_t kMaxNameLength = 100;      // one file or directory name
constexpr std::size_t kMaxTreePathLength = 200;  // path below Applikation or WinSys
constexpr std::size_t kMaxDestDirLength = 44;    // "C:" + 44 + "\" + 200 + "\Filxxxx.tmp" = 259

// Empty when name is a usable component of at most kMaxNameLength
// characters, else the reason it is not.
std::string CheckComponent(const std::string& name);

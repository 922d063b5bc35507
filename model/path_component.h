// The rule for a name that becomes one directory or file on the target
// machine: the authoring tool refuses such names when it builds a medium, and
// the installer refuses a description that holds one, because the name would
// make the copy fail or reach outside the directory it belongs to.
#pragma once

#include <string>

// Empty when name is one plain path component, else the reason it is not:
// empty, "." or "..", a separator, drive colon, wildcard or control
// character, a trailing dot or space (which the file system drops), or a
// device name such as CON, LPT1 or CONOUT$ (with or without an extension).
std::string CheckPathComponent(const std::string& name);

inline bool IsPlainComponent(const std::string& name) { return CheckPathComponent(name).empty(); }

// Case-insensitive comparison in the product's code page (Windows-1252), as
// the target's file system compares names.
bool SameName(const std::string& a, const std::string& b);

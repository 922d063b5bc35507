// File names and paths compared the way the file system matches them: equal
// apart from letter case, character by character.
#pragma once

#include <string>

#include <windows.h>

// TRUE when a and b, texts in the ANSI code page, differ at most in letter
// case. A multi-byte character of the code page is compared whole, so a trail
// byte that looks like an ASCII letter is never folded on its own; there is no
// linguistic matching either (no "ß" equal to "ss", no ignored characters).
// Texts that are not valid in the code page are compared byte for byte.
BOOL SameNameIgnoringCase(const std::string& a, const std::string& b);

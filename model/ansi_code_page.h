// The product's ANSI code page, Windows-1252: the one table that the model
// (reading 16-bit strings without the platform) and the authoring tool share.
#pragma once

#include "framework/wintypes.h"

// The character of one code-page byte. The five unassigned bytes 0x81, 0x8D,
// 0x8F, 0x90 and 0x9D map to the control characters of the same number, as
// the platform maps them.
DWORD AnsiToUnicode(char ch);

// The byte of a character, false when the code page has none for it.
bool UnicodeToAnsi(DWORD codePoint, char& out);

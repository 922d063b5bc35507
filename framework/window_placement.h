// Where a window opens: centred on its owner. The position is decided
// without windows; on Win32 CentreOnOwner applies it.
#pragma once

#include "framework/wintypes.h"

// The top-left corner of a window cx by cy centred on rcOwner, moved as
// little as needed to lie within rcWork; one larger than rcWork keeps its
// top-left corner inside, so that its caption can be reached.
POINT CentredPosition(const RECT& rcOwner, LONG cx, LONG cy, const RECT& rcWork);

#ifdef _WIN32
// Moves hwnd to be centred on its owner within the work area of the owner's
// monitor; without an owner, on the work area itself.
void CentreOnOwner(HWND hwnd);
#endif

// The program's main window. Modal dialogs, property sheets and message
// boxes that name no owner of their own are owned by it (by the dialog open
// over it, if any): they stay above it, come forward with it, and it cannot
// be used while they are open.
#pragma once

#include <windows.h>

// hwnd becomes the main window; nullptr when there is none (any more).
void SetMainWindow(HWND hwnd);

// The owner for a modal window that names none: the main window's last
// active pop-up, the main window itself when none is open, or nullptr
// without a main window.
HWND GetDefaultOwner();

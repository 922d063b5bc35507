// The engine callback: turns the engine's reports and questions into
// progress, status lines, message boxes and the read-only dialog, and hands
// the user's decision back. It reaches the displays through the main window
// pointer (GetMainSetupWindow).
#pragma once

#include "model/setup_protocol.h"

int EngineCallback(int code, INT_PTR param1, INT_PTR param2);

// The callback of an unattended run: EngineCallback over displays that show
// nothing and a message box presenter that answers for nobody, except that a
// disk is never asked for: the engine has looked for it wherever it may be
// (the source directory, the folder of its own beside it), and the run gives up.
int UnattendedEngineCallback(int code, INT_PTR param1, INT_PTR param2);

// The engine callback: turns the engine's reports and questions into
// progress, status lines, message boxes and the read-only dialog, and hands
// the user's decision back. It reaches the displays through the main window
// pointer (GetMainSetupWindow).
#pragma once

#include "model/setup_protocol.h"

int EngineCallback(int code, INT_PTR param1, INT_PTR param2);

// The two runs of Uninst.exe: the one that was started, which hands the
// removal to its copy and waits for it, and the copy, which removes the
// product and talks to the user. Both return the exit code.
#pragma once

#include "uninstall/copy_command.h"

int RunStartedUninstaller();
int RunRemoval(const CopyCommand& command);

// The two runs of Uninst.exe: the one that was started, which hands the
// removal to its copy and waits for it, and the copy, which removes the
// product and talks to the user. Both return the exit code.
#pragma once

#include "uninstall/copy_command.h"

// strError: what is wrong with the command line ("" for nothing); the
// program then ends with 87, as when the log cannot be made.
int RunStartedUninstaller(const UninstallOptions& options, const std::string& strError);
int RunRemoval(const CopyCommand& command);

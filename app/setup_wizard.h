// The wizard that the main window runs over the process's engine: the
// property sheet, or for an unattended run the pages' logic alone; both
// preset with the command line's choices.
#pragma once

#include <memory>

#include "app/command_line.h"
#include "app/setup_window.h"

std::unique_ptr<IWizard> CreateSetupWizard(const SetupOptions& options);

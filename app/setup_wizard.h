// The wizard that the main window runs: the property sheet over the process's engine.
#pragma once

#include <memory>

#include "app/setup_window.h"

std::unique_ptr<IWizard> CreateSetupWizard();

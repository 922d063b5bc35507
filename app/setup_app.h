// The application object: one static object that owns the engine from
// before the first window until the process ends, reads the command line,
// and runs the install at the screen or unattended.
#pragma once

#include "app/command_line.h"
#include "engine/setup_engine.h"
#include "engine/setup_outcome.h"

class CSetupApp {
public:
    // Makes the engine member the process's engine.
    CSetupApp();
    ~CSetupApp();
    CSetupApp(const CSetupApp&) = delete;
    CSetupApp& operator=(const CSetupApp&) = delete;

    // Reads the command line, opens the log it names, and runs the install:
    // the main window as a modal dialog, or the same sequence without any
    // window. The program then ends: its exit code.
    int Run();

    CSetupEngine m_engine;

private:
    // Runs the install unless another setup of the product is running.
    SetupOutcome RunAlone(const SetupOptions& options);
    SetupOutcome RunAtTheScreen(const SetupOptions& options, DWORD dwProductId);
    SetupOutcome RunUnattended(const SetupOptions& options);
};

// The application object: one static object that owns the engine from
// before the first window until the process ends, and runs the main window.
#pragma once

#include "engine/setup_engine.h"

class CSetupApp {
public:
    // Makes the engine member the process's engine.
    CSetupApp();
    ~CSetupApp();
    CSetupApp(const CSetupApp&) = delete;
    CSetupApp& operator=(const CSetupApp&) = delete;

    // Runs the main window as a modal dialog; the install happens inside it.
    // The program then ends: its exit code.
    int Run();

    CSetupEngine m_engine;
};

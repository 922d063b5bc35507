// How a run of the setup programs ended, and the exit code that tells
// whoever started it: the codes that deployment tools already understand,
// the same whether or not anyone was at the screen.
#pragma once

#include "framework/wintypes.h"

enum SetupOutcome {
    OUTCOME_DONE,              // installed (removed)
    OUTCOME_USER_QUIT,         // the user quit; this run's changes are undone
    OUTCOME_FAILED,            // failed; this run's changes are undone
    OUTCOME_REFUSED,           // refused before anything was changed
    OUTCOME_ALREADY_RUNNING,   // another setup of the product is running
    OUTCOME_BAD_COMMAND_LINE,  // nothing was changed
    OUTCOME_RESTART_NEEDED,    // done; a restart of Windows completes it
};

constexpr DWORD SETUP_EXIT_DONE = 0;
constexpr DWORD SETUP_EXIT_USER_QUIT = 1602;
constexpr DWORD SETUP_EXIT_FAILED = 1603;
constexpr DWORD SETUP_EXIT_ALREADY_RUNNING = 1618;
constexpr DWORD SETUP_EXIT_BAD_COMMAND_LINE = 87;
constexpr DWORD SETUP_EXIT_RESTART_NEEDED = 3010;

// An unattended run has nobody to quit: a phase given up there was given up
// by the run's own answers (a disk that is nowhere to be found), which is a
// failure, not a user's choice.
DWORD ExitCodeOf(SetupOutcome outcome, bool bUnattended);

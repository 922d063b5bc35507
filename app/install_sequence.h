// The install from start to end: the engine operations in their fixed order,
// the status shown in each phase, and the message and outcome that the run
// ends with. The same sequence serves a run at the screen and an unattended
// one: the window, its displays and the answers make the difference.
#pragma once

#include <string>

#include "engine/setup_outcome.h"
#include "framework/wintypes.h"
#include "model/setup_protocol.h"

class ISetupWindow;
struct DamagedFile;

struct FinalMessage {
    std::string strText;
    UINT nStyle = MB_ICONINFORMATION;
    SetupOutcome outcome = OUTCOME_FAILED;
};

// Runs every phase against GetSetupEngine() and the given main window, with
// pfnCallback as the engine's callback, and returns the final message; shows
// only the messages of the phases themselves.
FinalMessage RunInstallSequence(ISetupWindow& window, SetupCallback pfnCallback);

// What the main window's initialisation does: the sequence, then its final
// message. Returns how the run ended.
SetupOutcome RunInstallAndReport(ISetupWindow& window, SetupCallback pfnCallback);

// The final message after LoadInstallInfo failed with dwError (other than
// SETUP_E_DAMAGED).
std::string LoadFailureText(DWORD dwError);
// What the user is told of a file of the medium that a check found damaged.
std::string DamagedFileText(const DamagedFile& damage);

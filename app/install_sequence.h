// The install from start to end: the engine operations in their fixed order,
// the status shown in each phase, and the message that the run ends with.
#pragma once

#include <string>

#include "framework/wintypes.h"

class ISetupWindow;
struct DamagedFile;

struct FinalMessage {
    std::string strText;
    UINT nStyle = MB_ICONINFORMATION;
};

// Runs every phase against GetSetupEngine() and the given main window and
// returns the final message; shows only the messages of the phases themselves.
FinalMessage RunInstallSequence(ISetupWindow& window);

// What the main window's initialisation does: the sequence, then its final message.
void RunInstallAndReport(ISetupWindow& window);

// The final message after LoadInstallInfo failed with dwError (other than
// SETUP_E_DAMAGED).
std::string LoadFailureText(DWORD dwError);
// What the user is told of a file of the medium that a check found damaged.
std::string DamagedFileText(const DamagedFile& damage);

// Setup.exe's command line, for administrators who install without anyone
// at the screen:
//   /S              unattended: no window at all and no question
//   /D=directory    the destination directory
//   /GROUP=name     the program folder
//   /LOG=file       a log of the run, one line per event
// A switch starts with / or -, its name in any letter case; a value with
// blanks is written in double quotes (/D="C:\My Apps\Vantler"). Without /S,
// /D= and /GROUP= preset the wizard's fields. Values are checked by the
// rules of the wizard page that takes them, so that nothing the page would
// refuse gets in this way.
#pragma once

#include <string>
#include <vector>

#include "framework/wintypes.h"

class IWizardEngine;

struct SetupOptions {
    bool bUnattended = false;
    std::string strDestDir;  // a full path; empty when not given
    std::string strGroup;    // trimmed; empty when not given
    std::string strLog;      // empty when not given
};

// Reads the switches after the program's name. FALSE, with a short text that
// names the first argument in error, when an argument is no switch of ours,
// a switch lacks its value or is given twice, or a value is refused.
BOOL ParseCommandLine(const std::string& strCommandLine, SetupOptions& options, std::string& strError);

// Tells the user (or the log) what is wrong with the command line, and what
// Setup.exe takes.
void ShowCommandLineError(const std::string& strError);

// Presets the wizard's fields with the switches given: the destination's
// drive and directory, the program folder. FALSE, after telling the user,
// when the destination is not on a drive that the destination page offers.
BOOL PresetWizard(const SetupOptions& options, IWizardEngine& engine);

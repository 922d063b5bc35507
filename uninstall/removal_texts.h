// What the uninstaller says to the user and the exit code it ends with: the
// setup programs' codes (setup_outcome.h), 1602 when the user said No.
#pragma once

#include <string>
#include <vector>

#include "engine/setup_outcome.h"
#include "uninstall/removal_plan.h"

// The caption of every box and window title of the uninstaller.
constexpr const char* UNINSTALL_CAPTION = "Uninstall";

struct RemovalMessage {
    std::string strText;
    UINT nStyle;
    DWORD dwExitCode;
};

// What stays and why, as one line of the final box and of the log.
std::string RemainingLine(const RemainingItem& item);

// The one question before anything is removed.
std::string ConfirmationText(const std::string& strTitle);
// Asked for a shared file that no program is counted as using any more.
std::string SharedFileText(const std::string& strPath);

// The started program could not make or start its copy: nothing was removed.
RemovalMessage CopyFailureMessage(DWORD dwError);
// Another removal is running.
RemovalMessage BusyMessage();
// The install record could not be read (dwError from LoadInstallRecord):
// nothing was removed.
RemovalMessage RecordFailureMessage(const std::string& strRecord, DWORD dwError);
// The record describes an installation in another directory: nothing was removed.
RemovalMessage ForeignRecordMessage(const std::string& strRecord, const std::string& strRecordedDir);
// The end of a removal: what stays and why, and the exit code.
RemovalMessage FinalMessage(const std::string& strTitle, const std::vector<RemainingItem>& remaining);

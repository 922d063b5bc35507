// What the uninstaller says to the user and the exit code it ends with.
#pragma once

#include <string>
#include <vector>

#include "uninstall/removal_plan.h"

// The exit codes, the ones deployment tools understand.
constexpr DWORD UNINSTALL_REMOVED = 0;
constexpr DWORD UNINSTALL_DECLINED = 1602;  // the user said No
constexpr DWORD UNINSTALL_FAILED = 1603;    // failed, or refused before any change
constexpr DWORD UNINSTALL_BUSY = 1618;      // another removal is running
constexpr DWORD UNINSTALL_RESTART = 3010;   // removed; a restart completes it

// The caption of every box and window title of the uninstaller.
constexpr const char* UNINSTALL_CAPTION = "Uninstall";

struct RemovalMessage {
    std::string strText;
    UINT nStyle;
    DWORD dwExitCode;
};

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

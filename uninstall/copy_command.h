// Uninst.exe's command line, and how the program that was started hands the
// removal to its copy in the temporary directory.
//   Uninst.exe [/S] [/LOG=file]
//     /S         unattended: no window and no question
//     /LOG=file  a log of the removal, one line per event
// The switches are read as Setup.exe reads its own (platform/command_line.h).
// The copy's command line names the started program and the two handles the
// copy inherits, the pipe that takes the exit code back and the started
// process, whose end the copy waits for, then the switches passed on:
//   "C:\...\Temp\Un1a2b.tmp" /COPY:<pipe>:<process> "D\Uninst.exe" [/S] ["/LOG=file"]
// Handles are hexadecimal.
#pragma once

#include <string>

#include "framework/wintypes.h"

struct UninstallOptions {
    bool bUnattended = false;
    std::string strLog;  // empty when not given
};

// Reads the switches after the program's name. FALSE, with a short text that
// names the first argument in error, when an argument is no switch of ours,
// or a switch lacks its value or is given twice.
BOOL ParseUninstallOptions(const std::string& strCommandLine, UninstallOptions& options, std::string& strError);

// What the uninstaller takes, for the box or the log that tells of an error.
std::string UninstallUsageText(const std::string& strError);

struct CopyCommand {
    std::string strStarted;  // the started Uninst.exe, long form
    UINT_PTR hPipe = 0;
    UINT_PTR hStarted = 0;
    UninstallOptions options;  // the log as a full path: the copy works elsewhere
};

std::string FormatCopyCommand(const std::string& strCopy, const CopyCommand& command);
// false when the line is not a copy's: the program was started by a user,
// the Apps list or a deployment tool.
bool ParseCopyCommand(const std::string& strCommandLine, CopyCommand& command);

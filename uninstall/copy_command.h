// How the Uninst.exe that was started hands the removal to its copy in the
// temporary directory. The copy's command line names the started program and
// the two handles the copy inherits: the pipe that takes the exit code back,
// and the started process, whose end the copy waits for.
//   "C:\...\Temp\Un1a2b.tmp" /COPY:<pipe>:<process> "D\Uninst.exe"
// Handles are hexadecimal; Windows paths hold no double quote, so quoting
// the paths is enough.
#pragma once

#include <string>
#include <vector>

#include "framework/wintypes.h"

struct CopyCommand {
    std::string strStarted;  // the started Uninst.exe, long form
    UINT_PTR hPipe = 0;
    UINT_PTR hStarted = 0;
};

std::string FormatCopyCommand(const std::string& strCopy, const CopyCommand& command);
// false when the line is not a copy's: the program was started by a user,
// the Apps list or a deployment tool.
bool ParseCopyCommand(const std::string& strCommandLine, CopyCommand& command);

// Arguments separated by blanks; one in double quotes may hold blanks. No
// other escapes: the lines this program reads carry paths, which hold no quote.
std::vector<std::string> SplitCommandLine(const std::string& strCommandLine);

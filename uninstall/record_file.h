// The install record Setup.inf as the uninstaller reads it.
#pragma once

#include <string>

#include "framework/wintypes.h"

class CInstallMngr;

// Reads the install record at strPath into record. 0, or why not: the
// platform's error when the file cannot be opened (ERROR_FILE_NOT_FOUND when
// it is missing), SETUP_E_BADINFO when it holds no whole record.
DWORD LoadInstallRecord(const std::string& strPath, CInstallMngr& record);

// What the wizard pages read from the engine and write into it. The program
// forwards to its engine; tests stand in a fake, so that the pages' logic
// runs without Windows.
#pragma once

#include <string>
#include <vector>

#include "framework/wintypes.h"

class IWizardEngine {
public:
    virtual ~IWizardEngine() = default;

    // The information page: its title and text (nullptr: none).
    virtual const std::string& GetInfoTitle() const = 0;
    virtual const char* GetInfoText() const = 0;

    // The destination page. Drives are indexes into the engine's list of
    // usable drives; GetDrive is the current one.
    virtual int GetDriveCount() const = 0;
    virtual int GetDrive() const = 0;
    virtual char GetDriveLetter(int nIndex) const = 0;
    // Free bytes of the current drive; FALSE when they cannot be read.
    virtual BOOL GetDestFreeSpace(DWORD& dwBytes) = 0;
    virtual void SetDestDrive(int nIndex) = 0;
    virtual void SetDestDir(const std::string& strPath) = 0;
    // Nonzero when the free space suffices.
    virtual BOOL CheckDiskSpace() = 0;
    // Nonzero when the directory holds no other application's installation.
    virtual BOOL CheckDestination(const std::string& strPath) = 0;
    // 0 when the directory exists, else the platform's error code.
    virtual DWORD ProbeDirectory(const std::string& strPath) = 0;
    // The default directory below the drive, beginning with a backslash.
    virtual const std::string& GetDestDir() const = 0;
    // Bytes needed on the destination drive (application, uninstaller and
    // extra, summed in 32 bits) and on the system drive.
    virtual DWORD GetDestBytes() const = 0;
    virtual DWORD GetSysBytes() const = 0;

    // The program folder page.
    virtual const std::string& GetProgramFolder() const = 0;
    virtual const std::vector<std::string>& GetGroups() const = 0;
    virtual void SetProgramFolder(const std::string& strName) = 0;
};

// The engine as the wizard pages see it, with its answers set by the test
// and its calls counted.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "wizard/wizard_engine.h"

class FakeWizardEngine : public IWizardEngine {
public:
    const std::string& GetInfoTitle() const override { return m_strInfoTitle; }
    const char* GetInfoText() const override { return m_bHasInfoText ? m_strInfoText.c_str() : nullptr; }

    int GetDriveCount() const override { return static_cast<int>(m_strDrives.size()); }
    int GetDrive() const override { return m_nDrive; }
    char GetDriveLetter(int nIndex) const override
    {
        return nIndex >= 0 && nIndex < GetDriveCount() ? m_strDrives[static_cast<size_t>(nIndex)] : '\0';
    }
    BOOL GetDestFreeSpace(DWORD& dwBytes) override
    {
        if (m_unreadableDrives.count(m_nDrive) != 0)
            return FALSE;
        dwBytes = m_adwFree.size() > static_cast<size_t>(m_nDrive) ? m_adwFree[static_cast<size_t>(m_nDrive)] : 0;
        return TRUE;
    }
    void SetDestDrive(int nIndex) override { m_nDrive = nIndex; }
    // As the engine holds it: the default until a page stores the choice.
    void SetDestDir(const std::string& strPath) override { m_strStoredDir = m_strDestDir = strPath; }
    BOOL CheckDiskSpace() override { return m_bEnoughSpace; }
    BOOL CheckDestination(const std::string& strPath) override
    {
        m_astrChecked.push_back(strPath);
        return m_bDestinationFree;
    }
    DWORD ProbeDirectory(const std::string&) override { return m_dwProbe; }
    const std::string& GetDestDir() const override { return m_strDestDir; }
    DWORD GetDestBytes() const override { return m_dwDestBytes; }
    DWORD GetSysBytes() const override { return m_dwSysBytes; }

    const std::string& GetProgramFolder() const override { return m_strProgramFolder; }
    const std::vector<std::string>& GetGroups() const override { return m_astrGroups; }
    void SetProgramFolder(const std::string& strName) override { m_strProgramFolder = strName; }

    std::string m_strInfoTitle = "Welcome to Vantler";
    std::string m_strInfoText = "Vantler 1.0\r\nThe component and its editor.";
    bool m_bHasInfoText = true;
    std::string m_strDrives = "CD";  // the usable drives' letters, in engine order
    int m_nDrive = 0;
    std::vector<DWORD> m_adwFree = {1572864, 52428800};
    std::set<int> m_unreadableDrives;
    BOOL m_bEnoughSpace = TRUE;
    BOOL m_bDestinationFree = TRUE;
    DWORD m_dwProbe = 0;
    std::string m_strDestDir = "\\Vantler";
    DWORD m_dwDestBytes = 0;
    DWORD m_dwSysBytes = 3879731;
    std::string m_strProgramFolder = "Vantler";
    std::vector<std::string> m_astrGroups = {"Administrative Tools", "StartUp"};

    std::string m_strStoredDir;                // what SetDestDir stored
    std::vector<std::string> m_astrChecked;    // paths given to CheckDestination
};

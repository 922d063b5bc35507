// The wizard's view of the process's engine: every read and operation is
// forwarded to CSetupEngine.
#pragma once

#include "engine/setup_engine.h"
#include "wizard/wizard_engine.h"

class CEngineWizardData : public IWizardEngine {
public:
    explicit CEngineWizardData(CSetupEngine& engine) : m_engine(engine) {}

    const std::string& GetInfoTitle() const override { return m_engine.m_strInfoTitle; }
    const char* GetInfoText() const override { return m_engine.m_pInfoText; }

    int GetDriveCount() const override { return static_cast<int>(m_engine.m_abDrives.size()); }
    int GetDrive() const override { return m_engine.m_nDrive; }
    char GetDriveLetter(int nIndex) const override { return m_engine.GetDriveLetter(nIndex); }
    BOOL GetDestFreeSpace(DWORD& dwBytes) override { return m_engine.GetDestFreeSpace(dwBytes); }
    void SetDestDrive(int nIndex) override { m_engine.SetDestDrive(nIndex); }
    void SetDestDir(const std::string& strPath) override { m_engine.SetDestDir(strPath); }
    BOOL CheckDiskSpace() override { return m_engine.CheckDiskSpace(); }
    BOOL CheckDestination(const std::string& strPath) override { return m_engine.CheckDestination(strPath); }
    DWORD ProbeDirectory(const std::string& strPath) override;
    const std::string& GetDestDir() const override { return m_engine.m_strDestDir; }
    DWORD GetDestBytes() const override;
    DWORD GetSysBytes() const override { return m_engine.m_dwSysBytes; }

    const std::string& GetProgramFolder() const override { return m_engine.m_strProgramFolder; }
    const std::vector<std::string>& GetGroups() const override { return m_engine.m_astrGroups; }
    void SetProgramFolder(const std::string& strName) override { m_engine.SetProgramFolder(strName); }

private:
    CSetupEngine& m_engine;
};

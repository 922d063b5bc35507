#include "wizard/engine_wizard_data.h"

#include "platform/disk.h"

DWORD CEngineWizardData::ProbeDirectory(const std::string& strPath)
{
    return ::ProbeDirectory(strPath);
}

DWORD CEngineWizardData::GetDestBytes() const
{
    // Summed in 32 bits, as the description's counts are.
    return m_engine.m_dwAppBytes + m_engine.m_dwUninstBytes + m_engine.m_dwExtraBytes;
}

// The medium's checksum file: read before the description, and the damage a
// check finds, named for the user.
#include "engine/setup_engine.h"

#include "model/media_format.h"
#include "platform/disk.h"

BOOL CSetupEngine::ReadChecksumFile()
{
    m_checksums.m_entries.clear();
    const std::string strPath = m_strSourceDir + "\\" + CHECKSUM_FILE_NAME;
    if (ProbeFile(strPath) == ERROR_FILE_NOT_FOUND)
        return TRUE;  // a medium without checksums installs unchecked
    // One that is there but cannot be read, is damaged, or is of a version
    // this program does not know is refused: it is never passed over.
    CFile file;
    try {
        if (file.Open(strPath.c_str(), CFile::modeRead | CFile::shareDenyWrite) &&
            m_checksums.Load(file) == CMediumChecksums::LOADED)
            return TRUE;
    } catch (const CException&) {
    }
    return ReportDamage(CHECKSUM_FILE_NAME, 0, 0);
}

BOOL CSetupEngine::IsAsRecorded(size_t nEntry, const FileChecksum& read) const
{
    return !HasChecksums() || (nEntry < m_checksums.m_entries.size() && m_checksums.m_entries[nEntry] == read);
}

BOOL CSetupEngine::ReportDamage(const std::string& strName, WORD wFirstDisk, WORD wLastDisk)
{
    m_damage.strName = strName;
    m_damage.wFirstDisk = wFirstDisk;
    m_damage.wLastDisk = wLastDisk;
    SetLastError(SETUP_E_DAMAGED);
    return FALSE;
}

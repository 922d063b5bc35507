// The install record Setup.inf beside the uninstaller: the destination check
// that finds a previous installation, and the saving at the end of a run.
#include "engine/setup_engine.h"

#include "model/archive.h"
#include "platform/disk.h"
#include "platform/name_compare.h"
#include "platform/temp_file.h"
#include "platform/version.h"

namespace {

// The uninstaller's InternalName; another setup's uninstaller differs, if
// only in letter case.
constexpr const char* OUR_UNINSTALLER = "UNINSTALL";

// TRUE when strPath is our uninstaller.
BOOL IsOurUninstaller(const std::string& strPath)
{
    std::string strings[VERSTR_COUNT];
    return ReadVersionStrings(strPath, strings) && strings[VERSTR_INTERNALNAME] == OUR_UNINSTALLER;
}

}  // namespace

BOOL CSetupEngine::CheckDestination(const std::string& strDir)
{
    const std::string strUninstaller = strDir + "\\" + UNINSTALLER_NAME;
    DWORD dwProbe = ProbeFile(strUninstaller);
    if (dwProbe == ERROR_SUCCESS) {
        if (!IsOurUninstaller(strUninstaller))
            return FALSE;
    } else if (dwProbe != ERROR_FILE_NOT_FOUND) {
        return FALSE;
    }

    const std::string strRecord = strDir + "\\" + INSTALL_RECORD_NAME;
    dwProbe = ProbeFile(strRecord);
    if (dwProbe == ERROR_FILE_NOT_FOUND)
        return TRUE;
    if (dwProbe != ERROR_SUCCESS)
        return FALSE;

    delete m_pOldRecord;
    m_pOldRecord = new CSetupEngine;
    m_strOldRecordDir = strDir;
    try {
        CFile file(strRecord.c_str(), CFile::modeRead | CFile::shareDenyWrite);
        // The header alone decides whether the record is this product's;
        // closing its archive leaves the file just behind the identity block.
        CArchive header(&file, CArchive::load);
        const BOOL bOurs = m_pOldRecord->ReadSignature(header) && m_pOldRecord->GetProductId() == GetProductId();
        header.Close();
        if (!bOurs)
            return FALSE;
        CArchive body(&file, CArchive::load);
        m_pOldRecord->Serialize(body);
        body.Close();
        return TRUE;
    } catch (const CException&) {
        // A damaged or unreadable record is no record of ours: the counting of
        // shared files must not trust whatever part of it was read.
        delete m_pOldRecord;
        m_pOldRecord = new CSetupEngine;
        return FALSE;
    }
}

CSetupEngine* CSetupEngine::PreviousRecord() const
{
    return m_pOldRecord && SameNameIgnoringCase(m_strOldRecordDir, m_strDestDir) ? m_pOldRecord : nullptr;
}

// The record is written completely under a temporary name and then takes the
// name Setup.inf in one step, so the old record stays whole until the new
// one is complete, and a failure leaves it exactly as it was.
BOOL CSetupEngine::SaveInstallRecord()
{
    const std::string strTarget = m_strDestDir + "\\" + INSTALL_RECORD_NAME;
    const DWORD dwProbe = ProbeFile(strTarget);
    if (dwProbe != ERROR_SUCCESS && dwProbe != ERROR_FILE_NOT_FOUND)
        return FALSE;

    CTempFile temp;
    try {
        if (!temp.Create(m_strDestDir))
            CFile::ThrowOsError(static_cast<LONG>(GetLastError()), strTarget);
        CFile file(temp.GetPath().c_str(), CFile::modeWrite | CFile::modeCreate | CFile::shareExclusive);
        StoreRecord(file);
        file.Close();

        temp.CommitOverReadOnly(strTarget);
        return TRUE;
    } catch (const CFileException& error) {
        temp.Discard();
        ReportFileException(&error, strTarget);
        SetLastError(error.m_lOsError > 0 ? static_cast<DWORD>(error.m_lOsError) : ERROR_WRITE_FAULT);
    } catch (const CException& error) {
        temp.Discard();
        ReportFileException(&error, strTarget);
        SetLastError(ERROR_WRITE_FAULT);
    }
    return FALSE;
}

// The copy phase: binding the two first-level directories, placing the
// uninstaller, walking the tree and deciding for each file whether it is
// written, stepped over, or asked about.
#include "engine/setup_engine.h"

#include "model/media_format.h"
#include "platform/disk.h"
#include "platform/path.h"
#include "platform/temp_file.h"

namespace {

// Answers of SETUPCB_READONLY.
enum { READONLY_ANSWER_OVERWRITE = 1, READONLY_ANSWER_KEEP = 2 };

// The directory objects of the first two first-level directories.
void GetTopDirectories(CInstallTree& tree, CInstallDir*& pApp, CInstallDir*& pSys)
{
    POSITION pos = tree.GetRoot().children.GetHeadPosition();
    pApp = tree.GetRoot().children.GetNext(pos)->dir;
    pSys = tree.GetRoot().children.GetNext(pos)->dir;
}

// Creates every directory and installs every file of the tree, in tree order.
BOOL WalkTree(CSetupEngine& engine)
{
    engine.ResetPosition();
    engine.m_dwFileNumber = 0;
    CObject* pItem = nullptr;
    POSITION pos = nullptr;
    for (int nKind = engine.GetFirstItem(pItem, pos); nKind != TREE_END; nKind = engine.GetNextItem(pItem, pos)) {
        switch (nKind) {
        case TREE_LEAVE:
            engine.LeaveDirectory();
            break;
        case TREE_ENTER:
            // At the first level the name is the directory's real path.
            engine.EnterDirectory(pos);
            if (!CreateDirectoryPath(engine.m_strCurPath)) {
                engine.m_pfnCallback(SETUPCB_ERROR, SETUPERR_CREATEDIR, StringArg(engine.m_strCurPath));
                return FALSE;
            }
            break;
        case TREE_FILE:
            if (!engine.InstallFile(*static_cast<CInstalledFile*>(pItem)))
                return FALSE;
            ++engine.m_dwFileNumber;
            break;
        }
    }
    return TRUE;
}

}  // namespace

BOOL CSetupEngine::CopyFiles()
{
    // The loader refuses a description without both directories.
    if (GetRoot().children.GetCount() < 2) {
        SetLastError(SETUP_E_BADINFO);
        return FALSE;
    }
    CInstallDir* pApp;
    CInstallDir* pSys;
    GetTopDirectories(*this, pApp, pSys);
    pApp->m_strName = m_strDestDir;
    pSys->m_strName = m_strSysDir;

    m_dwTotalBytes = m_dwUninstBytes + m_dwAppBytes + m_dwSysBytes;
    if (!InstallUninstaller() || !CopyTree())
        return FALSE;

    // The install record keeps the symbolic names; its destination field
    // holds the real path.
    pApp->m_strName = ROOT_APPLICATION_NAME;
    pSys->m_strName = ROOT_SYSTEM_NAME;
    return TRUE;
}

BOOL CSetupEngine::InstallUninstaller()
{
    if (!CreateDirectoryPath(m_strDestDir)) {
        m_pfnCallback(SETUPCB_ERROR, SETUPERR_CREATEDIR, StringArg(m_strDestDir));
        return FALSE;
    }
    const std::string strTarget = m_strDestDir + "\\" + UNINSTALLER_NAME;
    const std::string strName = FileNamePart(strTarget);
    if (!m_pfnCallback(SETUPCB_STATUSTEXT, StringArg(strName), 0))
        return FALSE;

    try {
        const DWORD dwProbe = ProbeFile(strTarget);
        if (dwProbe != ERROR_SUCCESS && dwProbe != ERROR_FILE_NOT_FOUND) {
            SetLastError(dwProbe);
            return FALSE;
        }
        const BOOL bExisted = dwProbe == ERROR_SUCCESS;

        CTempFile temp;
        if (!temp.Create(m_strDestDir))
            CFile::ThrowOsError(static_cast<LONG>(GetLastError()), strTarget);
        int nCopied;
        FileChecksum copied;
        {
            CProgressFile out(temp.GetPath().c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
            out.m_pfnProgress = ReportProgress;
            out.m_bChecksum = HasChecksums();
            const std::string strSource = m_strSourceDir + "\\" + UNINSTALLER_SOURCE_NAME;
            CFile source(strSource.c_str(), CFile::modeRead | CFile::shareDenyWrite);
            nCopied = out.CopyFrom(&source);
            copied.dwSize = static_cast<DWORD>(out.GetLength());
            copied.dwCrc = out.m_dwChecksum;
            out.Close();
            source.Close();
        }
        if (!nCopied) {
            temp.Discard();
            SetLastError(SETUP_E_CANCELLED);
            return FALSE;
        }
        if (!IsAsRecorded(CHECKSUM_UNINSTALLER, copied)) {
            temp.Discard();
            return ReportDamage(UNINSTALLER_SOURCE_NAME, 0, 0);
        }
        // Our own uninstaller is replaced without a question, read-only or not.
        temp.CommitOverReadOnly(strTarget);
        if (!bExisted)
            m_journal.m_bUninstCreated = TRUE;
        return TRUE;
    } catch (const CException& e) {
        ReportFileException(&e, strTarget);
        return FALSE;
    }
}

BOOL CSetupEngine::CopyTree()
{
    const BOOL bDone = OpenDataVolume() && WalkTree(*this);
    // Closed after success and failure alike; the failure's code stays.
    const DWORD dwError = GetLastError();
    m_DataFile.Abort();
    SetLastError(dwError);
    return bDone;
}

BOOL CSetupEngine::InstallFile(CInstalledFile& file)
{
    const std::string strName = FileNamePart(file.m_strName);
    file.m_strName = m_strCurPath + "\\" + strName;
    if (!m_pfnCallback(SETUPCB_STATUSTEXT, StringArg(strName), 0))
        return FALSE;

    DWORD dwBits = 0;
    if (!CheckExistingFile(file.m_strName, file.m_VersionInfo, m_nTopIndex == ROOT_SYSTEM, dwBits)) {
        SetLastError(SETUP_E_VERSION);
        return FALSE;
    }
    if (dwBits & TARGET_NOT_OLDER)
        return SkipFileData(file);

    if (dwBits & TARGET_EXISTS) {
        // An older file, or one without a version record: replaced, not new.
        DWORD dwAnswer = 0;
        if (!CheckReadOnly(file, dwAnswer))
            return FALSE;
        switch (dwAnswer) {
        case READONLY_ANSWER_OVERWRITE:
            if (dwBits & TARGET_IN_USE) {
                m_pfnCallback(SETUPCB_ERROR, SETUPERR_FILEINUSE, StringArg(file.m_strName));
                return FALSE;
            }
            return ExtractFile(file);
        case READONLY_ANSWER_KEEP:
            return SkipFileData(file);
        default:
            return FALSE;
        }
    }

    if (!ExtractFile(file))
        return FALSE;
    // The rollback deletes exactly these.
    m_journal.m_lstNewFiles.AddTail(&file);
    return TRUE;
}

BOOL CSetupEngine::CheckReadOnly(CInstalledFile& file, DWORD& dwAnswer)
{
    const std::string& strPath = file.m_strName;
    try {
        CFileStatus status;
        // The file was there a moment ago; one that vanished cannot be examined.
        if (!CFile::GetStatus(strPath.c_str(), status))
            CFile::ThrowOsError(static_cast<LONG>(GetLastError()), strPath);
        if (!(status.m_attribute & CFile::readOnly)) {
            dwAnswer = READONLY_ANSWER_OVERWRITE;
            return TRUE;
        }
        dwAnswer = static_cast<DWORD>(m_pfnCallback(SETUPCB_READONLY, StringArg(strPath), 0));
        if (dwAnswer == READONLY_ANSWER_OVERWRITE) {
            // Writing the times back opens the file, so one held open elsewhere fails here.
            status.m_attribute &= ~CFile::readOnly;
            CFile::SetStatus(strPath.c_str(), status);
        }
        return TRUE;
    } catch (const CException& e) {
        ReportFileException(&e, strPath);
        SetLastError(SETUP_E_FILESTATUS);
        return FALSE;
    }
}

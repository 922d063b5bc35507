// The copy phase: binding the two first-level directories, placing the
// uninstaller, walking the tree and deciding for each file whether it is
// written, stepped over, or asked about.
#include "engine/setup_engine.h"

#include "framework/event_log.h"
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

// Creates the directory and those above it that are missing, and logs and
// journals each one made; reports a failure through the callback.
BOOL MakeDirectory(CSetupEngine& engine, const std::string& strPath)
{
    std::vector<std::string> astrCreated;
    const BOOL bMade = CreateDirectoryPath(strPath, &astrCreated);
    for (const std::string& strCreated : astrCreated) {
        LogEvent("Created directory %s", strCreated.c_str());
        engine.m_journal.m_astrMadeDirs.push_back(strCreated);
    }
    if (!bMade)
        engine.m_pfnCallback(SETUPCB_ERROR, SETUPERR_CREATEDIR, StringArg(strPath));
    return bMade;
}

// What the log says of a file that was written.
void LogInstalled(const CInstalledFile& file, DWORD dwBits)
{
    const std::string strVersion = ProductVersionText(file.m_VersionInfo);
    LogEvent("Installed %s%s%s%s", file.m_strName.c_str(), strVersion.empty() ? "" : ", version ",
             strVersion.c_str(), (dwBits & TARGET_EXISTS) ? ", over an older file" : "");
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
            if (!MakeDirectory(engine, engine.m_strCurPath))
                return FALSE;
            break;
        case TREE_FILE: {
            CInstalledFile& file = *static_cast<CInstalledFile*>(pItem);
            if (!engine.InstallFile(file)) {
                const DWORD dwError = GetLastError();
                LogEvent("Failed %s: error 0x%08lX", file.m_strName.c_str(), static_cast<unsigned long>(dwError));
                SetLastError(dwError);
                return FALSE;
            }
            ++engine.m_dwFileNumber;
            break;
        }
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
    LogEvent("Destination directory: %s; system directory: %s; program folder: %s", m_strDestDir.c_str(),
             m_strSysDir.c_str(), m_strProgramFolder.c_str());

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
    if (!MakeDirectory(*this, m_strDestDir))
        return FALSE;
    const std::string strTarget = m_strDestDir + "\\" + UNINSTALLER_NAME;
    const std::string strName = FileNamePart(strTarget);
    if (!m_pfnCallback(SETUPCB_STATUSTEXT, StringArg(strName), 0)) {
        SetLastError(SETUP_E_CANCELLED);  // the user quit
        return FALSE;
    }

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
        LogEvent("Installed %s", strTarget.c_str());
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
    if (!m_pfnCallback(SETUPCB_STATUSTEXT, StringArg(strName), 0)) {
        SetLastError(SETUP_E_CANCELLED);  // the user quit
        return FALSE;
    }

    DWORD dwBits = 0;
    if (!CheckExistingFile(file.m_strName, file.m_VersionInfo, m_nTopIndex == ROOT_SYSTEM, dwBits)) {
        SetLastError(SETUP_E_VERSION);
        return FALSE;
    }
    if (dwBits & TARGET_NOT_OLDER) {
        LogEvent("Kept %s: the file there has the same or a newer version", file.m_strName.c_str());
        return SkipFileData(file);
    }

    if (dwBits & TARGET_EXISTS) {
        // An older file, or one without a version record: replaced, not new.
        DWORD dwAnswer = 0;
        if (!CheckReadOnly(file, dwAnswer))
            return FALSE;
        switch (dwAnswer) {
        case READONLY_ANSWER_OVERWRITE:
            if (dwBits & TARGET_IN_USE) {
                m_pfnCallback(SETUPCB_ERROR, SETUPERR_FILEINUSE, StringArg(file.m_strName));
                SetLastError(ERROR_SHARING_VIOLATION);
                return FALSE;
            }
            break;
        case READONLY_ANSWER_KEEP:
            LogEvent("Kept %s: read-only, by the user's answer", file.m_strName.c_str());
            return SkipFileData(file);
        default:
            SetLastError(SETUP_E_CANCELLED);  // the user quit at the question
            return FALSE;
        }
    }

    if (!ExtractFile(file))
        return FALSE;
    LogInstalled(file, dwBits);
    // The rollback deletes exactly these.
    if (!(dwBits & TARGET_EXISTS))
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

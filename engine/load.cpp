// Loading the install information (drives, source, Windows and system
// directories, the description, the existing program groups) and the
// destination page's operations on the engine.
#include "engine/setup_engine.h"

#include "engine/registry_entries.h"
#include "framework/event_log.h"
#include "model/archive.h"
#include "model/media_format.h"
#include "platform/disk.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "platform/progman_text.h"

namespace {

// The drive types offered as destination; A: and B: never are.
const DWORD DESTINATION_DRIVE_TYPES[] = {3, DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_REMOTE};

// A drive root as the engine holds it: "C:\" becomes "C:", so that a
// backslash and a name can always be appended.
std::string HeldDirectory(const std::string& dir) { return dir.size() == 3 ? dir.substr(0, 2) : dir; }

// The result of a directory query into a buffer of MAX_PATH characters: 0
// is the platform's failure, a count of MAX_PATH or more a path that did not fit.
BOOL TakeDirectory(UINT length, const char* buffer, std::string& out)
{
    if (length == 0)
        return FALSE;
    if (length >= MAX_PATH) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    out.assign(buffer, length);
    return TRUE;
}

// The directory this program was started from, as the engine holds directories.
BOOL ProgramDirectory(std::string& strDir)
{
    char buffer[MAX_PATH];
    std::string strPath;
    if (!TakeDirectory(GetModuleFileNameA(nullptr, buffer, MAX_PATH), buffer, strPath))
        return FALSE;
    strDir = HeldDirectory(DirectoryPart(strPath));
    return TRUE;
}

// Free space enough for a requirement summed in 64 bits, so that a sum
// that wraps in 32 bits cannot pass.
BOOL HasRoom(DWORD drive, ULONGLONG required)
{
    DWORD free = 0;
    if (!GetDiskFreeBytes(drive, free))
        return FALSE;
    if (free < required) {
        SetLastError(SETUP_E_DISKSPACE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

BOOL CSetupEngine::LoadInstallInfo(SetupCallback pfnCallback)
{
    PrepareLoad();
    m_pfnCallback = pfnCallback;

    if (!FindDrivesOfType(DESTINATION_DRIVE_TYPES, FALSE, m_abDrives)) {
        SetLastError(SETUP_E_NODRIVE);
        return FALSE;
    }
    m_nDrive = 0;

    if (!ProgramDirectory(m_strSourceDir))
        return FALSE;

    char buffer[MAX_PATH];
    if (!TakeDirectory(GetWindowsDirectoryA(buffer, MAX_PATH), buffer, m_strWinDir))
        return FALSE;
    m_chWinDrive = static_cast<BYTE>(DriveNumberOf(m_strWinDir[0]));
    m_strWinDir = HeldDirectory(m_strWinDir);

    if (!TakeDirectory(GetSystemDirectoryA(buffer, MAX_PATH), buffer, m_strSysDir))
        return FALSE;
    m_strSysDir = HeldDirectory(m_strSysDir);

    LogEvent("Source directory: %s", m_strSourceDir.c_str());
    if (!ReadDescriptionFile())
        return FALSE;
    LogEvent("Product: %s", m_strProductTitle.c_str());

    m_bShellLinkGroup = FALSE;
    if (!GetProgramGroups(m_astrGroups)) {
        m_astrGroups.clear();
        if (m_bProgmanRequired) {
            SetLastError(SETUP_E_INIT);
            return FALSE;
        }
        m_bShellLinkGroup = TRUE;
        LogEvent("Program Manager does not answer: the program group will be made of shell links");
    }
    return TRUE;
}

BOOL CSetupEngine::ReadDescriptionFile()
{
    const std::string strDescription = m_strSourceDir + "\\" + DESCRIPTION_FILE_NAME;
    // The data's presence is all that matters here; the copy phase opens it.
    if (ProbeFile(strDescription) != ERROR_SUCCESS ||
        ProbeFile(m_strSourceDir + "\\" + DATA_FILE_NAME) != ERROR_SUCCESS) {
        SetLastError(SETUP_E_NOINFO);
        return FALSE;
    }

    if (!ReadChecksumFile())
        return FALSE;

    CFile file;
    if (!file.Open(strDescription.c_str(), CFile::modeRead | CFile::shareDenyWrite)) {
        SetLastError(SETUP_E_NOINFO);
        return FALSE;
    }
    // Once the file is open, whatever is wrong with it is damaged data.
    try {
        // Checked before anything in it is used; nobody can change it while it is open.
        if (HasChecksums()) {
            if (!IsAsRecorded(CHECKSUM_DESCRIPTION, ChecksumToEnd(file)))
                return ReportDamage(DESCRIPTION_FILE_NAME, 0, 0);
            file.SeekToBegin();
        }
        CArchive ar(&file, CArchive::load, 4096);
        m_strMainExe = "Tessel.exe";
        m_strResExt = RESOURCE_EXTENSION;
        if (!ReadSignature(ar)) {
            SetLastError(SETUP_E_BADINFO);
            return FALSE;
        }
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (const CException&) {
        SetLastError(SETUP_E_BADINFO);
        return FALSE;
    }

    // The default program folder becomes a group name: one that would address
    // another folder is as bad as a bad file name. None at all is no harm:
    // the folder page asks for one.
    if (!HasInstallLayout() || !(m_strProgramFolder.empty() || IsSafeGroupName(m_strProgramFolder))) {
        SetLastError(SETUP_E_BADINFO);
        return FALSE;
    }
    // A checksum file of another description.
    if (HasChecksums() && !m_checksums.MatchesDescription(*this))
        return ReportDamage(CHECKSUM_FILE_NAME, 0, 0);
    return TRUE;
}

BOOL CSetupEngine::ReadSourceIdentity()
{
    std::string strDir;
    CFile file;
    if (!ProgramDirectory(strDir) ||
        !file.Open((strDir + "\\" + DESCRIPTION_FILE_NAME).c_str(), CFile::modeRead | CFile::shareDenyWrite))
        return FALSE;
    try {
        CArchive ar(&file, CArchive::load, 64);
        return ReadSignature(ar);
    } catch (const CException&) {
        return FALSE;
    }
}

void CSetupEngine::SetDestDir(const std::string& strDir) { m_strDestDir = strDir; }

void CSetupEngine::SetDestDrive(int nIndex)
{
    if (nIndex != m_nDrive)
        m_nDrive = nIndex;
}

BOOL CSetupEngine::CheckDiskSpace()
{
    if (m_nDrive < 0 || static_cast<size_t>(m_nDrive) >= m_abDrives.size()) {
        SetLastError(ERROR_INVALID_DRIVE);
        return FALSE;
    }
    const DWORD dwDestDrive = m_abDrives[m_nDrive];
    const ULONGLONG qwAppBytes = static_cast<ULONGLONG>(m_dwAppBytes) + m_dwExtraBytes;
    // One drive carries everything; on two, the destination is not charged for the system files.
    if (dwDestDrive == m_chWinDrive)
        return HasRoom(dwDestDrive, qwAppBytes + m_dwSysBytes);
    return HasRoom(dwDestDrive, qwAppBytes) && HasRoom(m_chWinDrive, m_dwSysBytes);
}

BOOL CSetupEngine::GetDestFreeSpace(DWORD& dwBytes)
{
    if (m_nDrive < 0 || static_cast<size_t>(m_nDrive) >= m_abDrives.size()) {
        SetLastError(ERROR_INVALID_DRIVE);
        return FALSE;
    }
    return GetDiskFreeBytes(m_abDrives[m_nDrive], dwBytes);
}

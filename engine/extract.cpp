// The files' contents in the Data.dat volumes: written to a target through a
// temporary file, or stepped over, keeping the read position in step with
// the tree order; further volumes are asked for through the callback.
//
// The read position is at (length of the open volume - m_dwVolumeLeft). A
// file may run on into the next volume only from a volume that is full: the
// first one (whatever its length) or one that carries the media type's
// capacity. Data that would have to continue past any other volume has been
// cut short, and the copy fails rather than ask for a disk that cannot exist.
#include "engine/setup_engine.h"

#include "framework/event_log.h"
#include "model/little_endian.h"
#include "model/media_format.h"
#include "platform/disk.h"
#include "platform/path.h"
#include "platform/temp_file.h"

namespace {

// Where the volumes are put in: the source directory.
std::string SourceVolumePath(const CSetupEngine& engine) { return engine.m_strSourceDir + "\\" + DATA_FILE_NAME; }

// The volume being read, wherever it was found.
std::string DataFilePath(const CSetupEngine& engine)
{
    return engine.m_DataFile.IsOpen() ? engine.m_DataFile.GetFilePath() : SourceVolumePath(engine);
}

// The folder of volume nDisk (zero-based) beside the source directory, as
// setupedit lays out a set of disks and administrators copy it to a share:
// ...\disk1, ...\disk2. Empty when the source directory is a drive root.
std::string FolderVolumePath(const CSetupEngine& engine, WORD wDisk)
{
    const std::string strParent = DirectoryPart(engine.m_strSourceDir);
    if (strParent.empty())
        return std::string();
    return strParent + "\\disk" + std::to_string(wDisk + 1u) + "\\" + DATA_FILE_NAME;
}

// The volumes do not hold the data that the description promises.
[[noreturn]] void ThrowDamagedData(const CSetupEngine& engine)
{
    throw CFileException(CFileException::endOfFile, ERROR_HANDLE_EOF, DataFilePath(engine));
}

// Whether data may continue past the current volume into the next one. A
// volume that a step-over left unopened (it ended exactly there) counts as full.
bool CanContinuePastVolume(const CSetupEngine& engine)
{
    const DWORD dwCapacity = GetVolumeCapacity(engine.m_nMediaType);
    if (dwCapacity == 0)
        return false;
    if (engine.m_wDisk == 0 || !engine.m_DataFile.IsOpen())
        return true;
    return engine.m_DataFile.GetLength() - DATA_VOLUME_HEADER_SIZE == dwCapacity;
}

// Copies count bytes at the read position to the end of out. FALSE when the
// user quit at the progress display.
BOOL CopyFromVolume(CSetupEngine& engine, CProgressFile& out, DWORD dwCount)
{
    if (dwCount == 0)
        return TRUE;
    // CopyRange would quietly cut a count past the end of the volume. It never
    // gets one: the count is at most what the volume had left when it was
    // opened, and nobody may write to it while it is open.
    const ULONGLONG qwPosition = engine.m_DataFile.GetLength() - engine.m_dwVolumeLeft;
    if (!out.CopyRange(static_cast<DWORD>(out.GetLength()), dwCount, &engine.m_DataFile,
                       static_cast<DWORD>(qwPosition))) {
        SetLastError(SETUP_E_CANCELLED);
        return FALSE;
    }
    engine.m_dwVolumeLeft -= dwCount;
    return TRUE;
}

// Copies a file's size bytes from the volume sequence to out, asking for
// further volumes where the data runs on. FALSE with SETUP_E_CANCELLED when
// the user quit, or with the code of a volume that could not be opened.
BOOL CopyFileData(CSetupEngine& engine, CProgressFile& out, DWORD dwSize)
{
    DWORD dwRest = dwSize;
    while (dwRest > engine.m_dwVolumeLeft) {
        const DWORD dwHere = engine.m_dwVolumeLeft;
        if (!CanContinuePastVolume(engine))
            ThrowDamagedData(engine);
        if (!CopyFromVolume(engine, out, dwHere))
            return FALSE;
        dwRest -= dwHere;
        ++engine.m_wDisk;
        if (!engine.OpenDataVolume())
            return FALSE;
    }
    return CopyFromVolume(engine, out, dwRest);
}

}  // namespace

BOOL CSetupEngine::ExtractFile(CInstalledFile& file)
{
    const std::string& strTarget = file.m_strName;
    // Deleted on every way out but the move onto the target.
    CTempFile temp;
    try {
        if (!temp.Create(m_strCurPath))
            CFile::ThrowOsError(static_cast<LONG>(GetLastError()), strTarget);
        CProgressFile out(temp.GetPath().c_str(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        out.m_pfnProgress = ReportProgress;
        out.m_bChecksum = HasChecksums();
        // Nothing left in the open volume: the first byte is on the next one.
        const WORD wFirstDisk = static_cast<WORD>(m_dwVolumeLeft == 0 && file.m_dwSize != 0 ? m_wDisk + 1 : m_wDisk);
        const BOOL bCopied = CopyFileData(*this, out, file.m_dwSize);
        const DWORD dwError = GetLastError();
        out.Close();
        if (!bCopied) {
            temp.Discard();
            SetLastError(dwError);
            return FALSE;
        }
        // A damaged file never takes the target's place.
        if (!IsAsRecorded(CHECKSUM_FIRST_FILE + m_dwFileNumber, FileChecksum{file.m_dwSize, out.m_dwChecksum})) {
            temp.Discard();
            return ReportDamage(FileNamePart(strTarget), wFirstDisk, m_wDisk);
        }

        const DWORD dwProbe = ProbeFile(strTarget);
        if (dwProbe != ERROR_SUCCESS && dwProbe != ERROR_FILE_NOT_FOUND) {
            temp.Discard();
            SetLastError(SETUP_E_COPY);
            return FALSE;
        }
        // One step: the target is always the old file or the complete new one.
        temp.Commit(strTarget);
        return TRUE;
    } catch (const CException& e) {
        ReportFileException(&e, strTarget);
        return FALSE;
    }
}

BOOL CSetupEngine::SkipFileData(CInstalledFile& file)
{
    const DWORD dwSize = file.m_dwSize;
    if (dwSize <= m_dwVolumeLeft) {
        m_dwVolumeLeft -= dwSize;
        return ReportProgress(dwSize);
    }
    try {
        if (!CanContinuePastVolume(*this))
            ThrowDamagedData(*this);
        // Counted in whole volumes of the capacity, the volumes in between
        // are never opened. A file that ends exactly at a volume's end leaves
        // that volume unopened: the next byte, if any, is on the one after.
        const DWORD dwCapacity = GetVolumeCapacity(m_nMediaType);
        const DWORD dwOver = dwSize - m_dwVolumeLeft;
        const DWORD dwVolumes = (dwOver - 1) / dwCapacity + 1;
        const DWORD dwUsed = (dwOver - 1) % dwCapacity + 1;
        if (m_wDisk + dwVolumes > 0xFFFF)
            ThrowDamagedData(*this);
        m_wDisk = static_cast<WORD>(m_wDisk + dwVolumes);
        if (dwUsed == dwCapacity) {
            m_DataFile.Abort();
            m_dwVolumeLeft = 0;
        } else {
            if (!OpenDataVolume())
                return FALSE;
            if (dwUsed > m_dwVolumeLeft)
                ThrowDamagedData(*this);
            m_dwVolumeLeft -= dwUsed;
        }
    } catch (const CException& e) {
        ReportFileException(&e, DataFilePath(*this));
        return FALSE;
    }
    // Stepped-over bytes count as done.
    return ReportProgress(dwSize);
}

// Opens the engine's volume m_wDisk at strPath. FALSE, with the file closed,
// when the file is missing or holds another volume (or is too short to be
// one); a file that cannot be read or holds damaged data throws.
BOOL CSetupEngine::OpenVolumeAt(const std::string& strPath)
{
    if (ProbeFile(strPath) != ERROR_SUCCESS)
        return FALSE;
    // Nobody may change the volume while it is read.
    CFileException error;
    if (!m_DataFile.Open(strPath.c_str(), CFile::modeRead | CFile::shareDenyWrite, &error))
        throw error;
    BYTE abNumber[DATA_VOLUME_HEADER_SIZE];
    if (m_DataFile.Read(abNumber, sizeof abNumber) != sizeof abNumber || ReadLE16(abNumber) != m_wDisk) {
        m_DataFile.Abort();
        return FALSE;
    }
    const ULONGLONG qwPayload = m_DataFile.GetLength() - DATA_VOLUME_HEADER_SIZE;
    // A later volume never holds more than the capacity: the volumes that a
    // step-over counts are that long.
    const DWORD dwCapacity = GetVolumeCapacity(m_nMediaType);
    if (qwPayload > 0xFFFFFFFF || (m_wDisk != 0 && dwCapacity != 0 && qwPayload > dwCapacity))
        ThrowDamagedData(*this);
    m_dwVolumeLeft = static_cast<DWORD>(qwPayload);
    return TRUE;
}

BOOL CSetupEngine::OpenDataVolume()
{
    m_DataFile.Abort();
    const std::string strPath = SourceVolumePath(*this);
    try {
        // Nobody changes disks in an unattended run: a later volume is looked
        // for where it may already be, before the callback is asked.
        if (m_wDisk != 0 && m_bVolumeFolders) {
            const std::string strFolderPath = FolderVolumePath(*this, m_wDisk);
            for (const std::string& strWhere : {strPath, strFolderPath}) {
                if (!strWhere.empty() && OpenVolumeAt(strWhere)) {
                    LogEvent("Disk %u: %s", m_wDisk + 1u, strWhere.c_str());
                    return TRUE;
                }
            }
            LogEvent("Disk %u is missing: it is neither %s nor %s", m_wDisk + 1u, strPath.c_str(),
                     strFolderPath.empty() ? "in a folder disk<N> beside the source" : strFolderPath.c_str());
        }
        for (BOOL bAsk = m_wDisk != 0;; bAsk = TRUE) {
            if (bAsk) {
                const char chDrive = m_strSourceDir.empty() ? '\0' : m_strSourceDir[0];
                if (!m_pfnCallback(SETUPCB_INSERTDISK, m_wDisk, chDrive)) {
                    SetLastError(SETUP_E_CANCELLED);
                    return FALSE;
                }
            }
            // Another volume, or none: ask again.
            if (OpenVolumeAt(strPath))
                return TRUE;
        }
    } catch (const CException& e) {
        const std::string strFailed = DataFilePath(*this);
        m_DataFile.Abort();
        ReportFileException(&e, strFailed);
        return FALSE;
    }
}

#include "uninstall/removal.h"

#include "engine/registry_entries.h"
#include "engine/setup_engine.h"
#include "framework/file.h"
#include "platform/disk.h"
#include "platform/find_handle.h"
#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "platform/registry.h"
#include "platform/temp_file.h"
#include "uninstall/machine_state_win32.h"

namespace {

bool IsGone(DWORD dwError) { return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND; }

// What the progress display shows for a step.
std::string NameOf(const RemovalStep& step)
{
    switch (step.kind) {
    case RemovalStep::DELETE_GROUP_ITEMS:
    case RemovalStep::DELETE_GROUP:
        return step.strName;
    case RemovalStep::SAVE_RECORD:
        return INSTALL_RECORD_NAME;
    default:
        return FileNamePart(step.strPath);
    }
}

// The entries of a directory but "." and "..", by name.
std::vector<std::string> ListDirectory(const std::string& strDir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    CFindHandle search(FindFirstFileA((strDir + "\\*").c_str(), &data));
    if (!search.IsValid())
        return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search.Get(), &data));
    return names;
}

}  // namespace

bool CRemoval::Run(const std::vector<RemovalStep>& steps, bool bUntilFailure)
{
    bool bDone = true;
    for (const RemovalStep& step : steps) {
        if (m_pProgress)
            m_pProgress->ShowProgress(NameOf(step), m_nTotal ? static_cast<int>(m_nDone * 100 / m_nTotal) : 100);
        const size_t nNoted = m_remaining.size();
        Carry(step);
        ++m_nDone;
        for (size_t i = nNoted; i < m_remaining.size(); ++i)
            bDone = bDone && !m_remaining[i].IsFailure();
        if (!bDone && bUntilFailure)
            break;
    }
    return bDone;
}

void CRemoval::Carry(const RemovalStep& step)
{
    LONG code = ERROR_SUCCESS;
    switch (step.kind) {
    case RemovalStep::UNREGISTER:
        Unregister(step.strPath);
        return;
    case RemovalStep::DELETE_GROUP_ITEMS:
        DeleteGroupItems(step);
        return;
    case RemovalStep::DELETE_GROUP:
        DeleteGroup(step.strName);
        return;
    case RemovalStep::DELETE_KEY:
        code = DeleteRegKeyTree(RootKey(step.root), step.strPath);
        if (code != ERROR_SUCCESS && !IsGone(static_cast<DWORD>(code)))
            Note(RemainingItem::FAILED, (step.root == REG_CLASSES ? "HKCR\\" : "HKLM\\") + step.strPath, code);
        return;
    case RemovalStep::SET_SHARED_COUNT:
        code = SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, step.strPath, step.dwCount);
        break;
    case RemovalStep::DELETE_SHARED_COUNT:
        code = DeleteRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, step.strPath);
        break;
    case RemovalStep::SAVE_RECORD:
        SaveRecord();
        return;
    case RemovalStep::DELETE_FILE:
        DeleteFile(step.strPath);
        return;
    case RemovalStep::REMOVE_DIRECTORY:
        RemoveDirectory(step.strPath);
        return;
    }
    if (code != ERROR_SUCCESS && !IsGone(static_cast<DWORD>(code)))
        Note(RemainingItem::FAILED, "SharedDLLs count of " + step.strPath, code);
}

// A library that is gone already has no registration left to take back.
void CRemoval::Unregister(const std::string& strPath)
{
    if (GetFileAttributesA(strPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    if (!SelfUnregisterFile(strPath))
        Note(RemainingItem::FAILED, "Registration of " + strPath, GetLastError());
}

void CRemoval::DeleteGroupItems(const RemovalStep& step)
{
    std::vector<std::string> captions;
    for (const std::string& strFile : step.astrFiles) {
        captions.push_back(CaptionForFile(FileNamePart(strFile)));
        m_astrItemLinks.push_back(captions.back() + ".lnk");
    }
    DdeDeleteItems(step.strName, captions);
}

// Program Manager deletes a group with whatever is in it, so the group goes
// only when the folder that holds its items is empty; whether it went is
// read from the folder too, as Program Manager's answers say little.
void CRemoval::DeleteGroup(const std::string& strGroup)
{
    const std::string strFolder = ProgramGroupFolder(strGroup);
    if (strFolder.empty() || ProbeDirectory(strFolder) != ERROR_SUCCESS)
        return;
    const std::vector<std::string> entries = ListDirectory(strFolder);
    for (const std::string& entry : entries) {
        for (const std::string& link : m_astrItemLinks) {
            if (SameNameIgnoringCase(entry, link)) {
                Note(RemainingItem::GROUP_LEFT, strGroup);
                return;
            }
        }
    }
    if (!entries.empty()) {
        Note(RemainingItem::GROUP_NOT_EMPTY, strGroup);
        return;
    }
    DdeDeleteGroup(strGroup);
    if (ProbeDirectory(strFolder) == ERROR_SUCCESS)
        Note(RemainingItem::GROUP_LEFT, strGroup);
}

// The record goes on without the shared files whose counts are now lowered,
// so that a second run after one that stopped half-way does not count them
// down again.
void CRemoval::SaveRecord()
{
    DropSharedFiles(m_record.GetRoot());
    CTempFile temp;
    try {
        if (!temp.Create(DirectoryPart(m_strRecordPath)))
            CFile::ThrowOsError(static_cast<LONG>(GetLastError()), m_strRecordPath);
        CFile file(temp.GetPath().c_str(),
                   CFile::modeWrite | CFile::modeCreate | CFile::shareExclusive | CFile::modeNoInherit);
        m_record.StoreRecord(file);
        file.Close();
        temp.CommitOverReadOnly(m_strRecordPath);
    } catch (const CFileException& error) {
        Note(RemainingItem::FAILED, m_strRecordPath,
             error.m_lOsError > 0 ? static_cast<DWORD>(error.m_lOsError) : ERROR_WRITE_FAULT);
    } catch (const CException&) {
        Note(RemainingItem::FAILED, m_strRecordPath, ERROR_WRITE_FAULT);
    }
}

// Deleting comes first, and the read-only attribute goes only when it stands
// in the way: one more call per file would cost a removal of many small
// files a good part of its time.
void CRemoval::DeleteFile(const std::string& strPath)
{
    if (::DeleteFileA(strPath.c_str()))
        return;
    DWORD dwError = GetLastError();
    if (IsGone(dwError))
        return;
    const DWORD dwAttributes = GetFileAttributesA(strPath.c_str());
    const bool bFile = dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (dwError == ERROR_ACCESS_DENIED && bFile && (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(strPath.c_str(), (dwAttributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL);
        if (::DeleteFileA(strPath.c_str()))
            return;
        dwError = GetLastError();
    }
    // In use: a running program or a loaded library is refused with access
    // denied, a file held open with a sharing violation.
    if (bFile && (dwError == ERROR_ACCESS_DENIED || dwError == ERROR_SHARING_VIOLATION))
        Schedule(strPath, true);
    else
        Note(RemainingItem::FAILED, strPath, dwError);
}

void CRemoval::RemoveDirectory(const std::string& strPath)
{
    if (::RemoveDirectoryA(strPath.c_str()))
        return;
    const DWORD dwError = GetLastError();
    if (IsGone(dwError))
        return;
    if (dwError != ERROR_DIR_NOT_EMPTY) {
        Note(RemainingItem::FAILED, strPath, dwError);
        return;
    }
    // A directory kept by what goes at the restart goes then too; one kept
    // by a directory already named needs no line of its own.
    switch (Examine(strPath, std::string())) {
    case ONLY_SCHEDULED:
        Schedule(strPath, false);
        break;
    case ONLY_NOTED:
        m_astrCovered.push_back(strPath);
        break;
    case OTHER_FILES:
        Note(RemainingItem::NOT_EMPTY, strPath);
        break;
    }
}

void CRemoval::NoteLeftovers(const std::string& strDir, const std::string& strKept)
{
    if (Examine(strDir, strKept) == OTHER_FILES)
        Note(RemainingItem::NOT_EMPTY, strDir);
}

// The restart removes entries in the order they were scheduled, so a
// directory scheduled after its files is empty when its turn comes.
void CRemoval::Schedule(const std::string& strPath, bool bNote)
{
    if (!MoveFileExA(strPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        Note(RemainingItem::FAILED, strPath, GetLastError());
        return;
    }
    m_astrScheduled.push_back(strPath);
    if (bNote)
        Note(RemainingItem::AT_RESTART, strPath);
}

CRemoval::Leftovers CRemoval::Examine(const std::string& strDir, const std::string& strKept) const
{
    bool bNoted = false;
    for (const std::string& name : ListDirectory(strDir)) {
        const std::string strPath = strDir + "\\" + name;
        if (SameNameIgnoringCase(name, strKept) || IsScheduled(strPath))
            continue;
        if (!IsNoted(strPath))
            return OTHER_FILES;
        bNoted = true;
    }
    return bNoted ? ONLY_NOTED : ONLY_SCHEDULED;
}

bool CRemoval::IsScheduled(const std::string& strPath) const
{
    for (const std::string& scheduled : m_astrScheduled) {
        if (SameNameIgnoringCase(scheduled, strPath))
            return true;
    }
    return false;
}

bool CRemoval::IsNoted(const std::string& strPath) const
{
    for (const RemainingItem& item : m_remaining) {
        if (SameNameIgnoringCase(item.strName, strPath))
            return true;
    }
    for (const std::string& covered : m_astrCovered) {
        if (SameNameIgnoringCase(covered, strPath))
            return true;
    }
    return false;
}

void CRemoval::Note(RemainingItem::Reason reason, const std::string& strName, DWORD dwError)
{
    RemainingItem item;
    item.reason = reason;
    item.strName = strName;
    item.dwError = dwError;
    m_remaining.push_back(item);
}

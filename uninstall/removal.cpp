#include "uninstall/removal.h"

#include "engine/registry_entries.h"
#include "engine/setup_engine.h"
#include "framework/event_log.h"
#include "framework/file.h"
#include "platform/disk.h"
#include "platform/find_handle.h"
#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "platform/registry.h"
#include "platform/shell_link.h"
#include "platform/temp_file.h"
#include "uninstall/machine_state_win32.h"
#include "uninstall/removal_texts.h"

namespace {

bool IsGone(DWORD dwError) { return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND; }

// What the progress display shows for a step.
std::string NameOf(const RemovalStep& step)
{
    switch (step.kind) {
    case RemovalStep::DELETE_GROUP_ITEMS:
    case RemovalStep::DELETE_GROUP:
    case RemovalStep::DELETE_SHELL_LINKS:
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

const char* RootName(RegRoot root) { return root == REG_CLASSES ? "HKCR\\" : "HKLM\\"; }

// Each value below the key, with what it held, before the key goes.
void LogKeyValues(RegRoot root, const std::string& strKey)
{
    std::vector<std::string> subkeys;
    std::vector<std::string> values;
    if (ListRegKey(RootKey(root), strKey, subkeys, values) != ERROR_SUCCESS)
        return;
    for (const std::string& strName : values) {
        RegValue value;
        if (GetRegValue(RootKey(root), strKey, strName, value) == ERROR_SUCCESS)
            LogEvent("Registry value %s%s\\%s removed, was %s", RootName(root), strKey.c_str(),
                     strName.empty() ? "@" : strName.c_str(), DescribeRegValue(value).c_str());
    }
    for (const std::string& strSubkey : subkeys)
        LogKeyValues(root, strKey + "\\" + strSubkey);
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string strText;
    for (const std::string& name : names)
        strText += (strText.empty() ? "" : ", ") + name;
    return strText;
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
    case RemovalStep::DELETE_SHELL_LINKS:
        DeleteShellLinkGroup(step);
        return;
    case RemovalStep::DELETE_KEY:
        if (IsEventLogOn())
            LogKeyValues(step.root, step.strPath);
        code = DeleteRegKeyTree(RootKey(step.root), step.strPath);
        if (code == ERROR_SUCCESS)
            LogEvent("Registry key %s%s removed", RootName(step.root), step.strPath.c_str());
        else if (!IsGone(static_cast<DWORD>(code)))
            Note(RemainingItem::FAILED, RootName(step.root) + step.strPath, code);
        return;
    case RemovalStep::SET_SHARED_COUNT:
        code = SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, step.strPath, step.dwCount);
        if (code == ERROR_SUCCESS)
            LogEvent("SharedDLLs count of %s = %lu", step.strPath.c_str(), static_cast<unsigned long>(step.dwCount));
        break;
    case RemovalStep::DELETE_SHARED_COUNT:
        code = DeleteRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, step.strPath);
        if (code == ERROR_SUCCESS)
            LogEvent("SharedDLLs count of %s removed", step.strPath.c_str());
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
    if (SelfUnregisterFile(strPath))
        LogEvent("Unregistered %s", strPath.c_str());
    else
        Note(RemainingItem::FAILED, "Registration of " + strPath, GetLastError());
}

// The captions of the step's items, whose link files are kept in mind for
// the check of the group's folder.
std::vector<std::string> CRemoval::ItemCaptions(const RemovalStep& step)
{
    std::vector<std::string> captions;
    for (const std::string& strFile : step.astrFiles) {
        captions.push_back(CaptionForFile(FileNamePart(strFile)));
        m_astrItemLinks.push_back(captions.back() + ".lnk");
    }
    return captions;
}

void CRemoval::DeleteGroupItems(const RemovalStep& step)
{
    const std::vector<std::string> captions = ItemCaptions(step);
    // Whether they went is read from the group's folder when the group goes.
    DdeDeleteItems(step.strName, captions);
    LogEvent("Program group %s: Program Manager asked to delete %s", step.strName.c_str(), Joined(captions).c_str());
}

// Program Manager deletes a group with whatever is in it, so the group goes
// only when the folder that holds its items is empty; whether it went is
// read from the folder too, as Program Manager's answers say little.
void CRemoval::DeleteGroup(const std::string& strGroup)
{
    const std::string strFolder = ProgramGroupFolder(strGroup);
    if (strFolder.empty() || ProbeDirectory(strFolder) != ERROR_SUCCESS || !IsGroupEmpty(strFolder, strGroup))
        return;
    DdeDeleteGroup(strGroup);
    if (ProbeDirectory(strFolder) == ERROR_SUCCESS)
        Note(RemainingItem::GROUP_LEFT, strGroup);
    else
        LogEvent("Program group %s removed", strGroup.c_str());
}

// The links go by their captions, then the folder if nothing else is in it.
void CRemoval::DeleteShellLinkGroup(const RemovalStep& step)
{
    const std::vector<std::string> captions = ItemCaptions(step);
    std::string strFolder;
    const BOOL bAllUsers = step.bUserPrograms ? FALSE : TRUE;
    if (!GetShellLinkGroupFolder(step.strName, strFolder, bAllUsers))
        return;
    DeleteShellLinks(step.strName, captions, TRUE, bAllUsers);
    LogEvent("Program group %s: shell links %s deleted from %s", step.strName.c_str(), Joined(captions).c_str(),
             strFolder.c_str());
    if (ProbeDirectory(strFolder) != ERROR_SUCCESS)
        LogEvent("Program group %s removed", step.strName.c_str());
    else if (IsGroupEmpty(strFolder, step.strName))
        Note(RemainingItem::GROUP_LEFT, step.strName);
}

// Notes the group when its folder still holds one of the items this removal
// deleted (the deletion failed) or items of others; true when it is empty.
bool CRemoval::IsGroupEmpty(const std::string& strFolder, const std::string& strGroup)
{
    const std::vector<std::string> entries = ListDirectory(strFolder);
    for (const std::string& entry : entries) {
        for (const std::string& link : m_astrItemLinks) {
            if (SameNameIgnoringCase(entry, link)) {
                Note(RemainingItem::GROUP_LEFT, strGroup);
                return false;
            }
        }
    }
    if (!entries.empty()) {
        Note(RemainingItem::GROUP_NOT_EMPTY, strGroup);
        return false;
    }
    return true;
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
        LogEvent("Saved %s without the shared files counted down", m_strRecordPath.c_str());
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
    if (::DeleteFileA(strPath.c_str())) {
        LogEvent("Removed %s", strPath.c_str());
        return;
    }
    DWORD dwError = GetLastError();
    if (IsGone(dwError))
        return;
    const DWORD dwAttributes = GetFileAttributesA(strPath.c_str());
    const bool bFile = dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
    if (dwError == ERROR_ACCESS_DENIED && bFile && (dwAttributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(strPath.c_str(), (dwAttributes & ~FILE_ATTRIBUTE_READONLY) | FILE_ATTRIBUTE_NORMAL);
        if (::DeleteFileA(strPath.c_str())) {
            LogEvent("Removed %s, read-only", strPath.c_str());
            return;
        }
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
    const DWORD dwError = RemoveEmptyDirectory(strPath);
    if (dwError == ERROR_SUCCESS) {
        LogEvent("Removed directory %s", strPath.c_str());
        return;
    }
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
    else
        LogEvent("Directory %s goes when Windows restarts, with what is in it", strPath.c_str());
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

void CRemoval::Keep(const std::vector<RemainingItem>& items)
{
    for (const RemainingItem& item : items)
        Note(item.reason, item.strName, item.dwError);
}

void CRemoval::Note(RemainingItem::Reason reason, const std::string& strName, DWORD dwError)
{
    RemainingItem item;
    item.reason = reason;
    item.strName = strName;
    item.dwError = dwError;
    m_remaining.push_back(item);
    LogEvent("Remains: %s", RemainingLine(item).c_str());
}

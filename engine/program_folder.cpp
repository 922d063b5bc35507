// The program folder: a Program Manager group with one item per marked file,
// or where Program Manager did not answer, a folder of shell links.
#include "engine/setup_engine.h"

#include "framework/event_log.h"
#include "platform/disk.h"
#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "platform/progman_text.h"
#include "platform/shell_link.h"

namespace {

struct CaptionRow {
    const char* pszFileName;
    const char* pszCaption;
};

// The product's files with captions of their own, searched in this order.
const CaptionRow kCaptions[] = {
    {"Tessel.exe", "Tessel"},
    {"Vantler.hlp", "Vantler ActiveX Help"},
    {"Tessel.hlp", "Tessel Help"},
    {"Joust.vbp", "Joust - VB"},
    {"Q7.vbp", "Q7 - VB"},
    {"Joust.exe", "Joust - Delphi"},
    {"Q7.exe", "Q7 - Delphi"},
};

// Program Manager lists a group by its folder's name, which the file system
// matches without regard to case and keeps without trailing dots and blanks.
bool IsListed(const std::vector<std::string>& groups, const std::string& name)
{
    for (const std::string& group : groups) {
        if (SameNameIgnoringCase(StoredName(group), StoredName(name)))
            return true;
    }
    return false;
}

void LogItems(const std::vector<ProgramItem>& items)
{
    for (const ProgramItem& item : items)
        LogEvent("Group item %s: %s", item.m_strCaption.c_str(), item.m_strCommandLine.c_str());
}

}  // namespace

std::string CaptionForFile(const std::string& strFileName)
{
    for (const CaptionRow& row : kCaptions) {
        if (SameNameIgnoringCase(strFileName, row.pszFileName))
            return row.pszCaption;
    }
    return BaseName(strFileName);
}

std::vector<ProgramItem> ProgramItemsOf(CInstallTree& tree)
{
    std::vector<ProgramItem> items;
    CObject* pItem = nullptr;
    for (int n = tree.GetFirstItem(pItem); n != TREE_END; n = tree.GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        const CInstalledFile& file = *static_cast<CInstalledFile*>(pItem);
        if (file.m_dwFlags & FILE_SHORTCUT)
            items.push_back(ProgramItem{CaptionForFile(FileNamePart(file.m_strName)), file.m_strName});
    }
    return items;
}

// The group is requested even when no file is marked: it then stays empty.
// The journal keeps the group, and whether this run made it: a group that
// Program Manager did not list just before is new. Without a list it counts
// as there before, so that a rollback takes only this run's items from it.
// A group of shell links is new when its folder was not there.
BOOL CSetupEngine::CreateProgramFolder()
{
    const std::vector<ProgramItem> items = ProgramItemsOf(*this);
    std::vector<const ProgramItem*> pointers;
    for (const ProgramItem& item : items)
        pointers.push_back(&item);
    if (m_bShellLinkGroup) {
        std::string strFolder;
        if (!GetShellLinkGroupFolder(m_strProgramFolder, strFolder))
            return FALSE;
        LogEvent("Program group %s, made of shell links in %s", m_strProgramFolder.c_str(), strFolder.c_str());
        LogItems(items);
        // Journaled before the links are made, so that a rollback also takes
        // back those made before a failure.
        m_journal.m_strGroup = m_strProgramFolder;
        m_journal.m_bGroupCreated = ProbeDirectory(strFolder) != ERROR_SUCCESS;
        return CreateShellLinkGroup(m_strProgramFolder, pointers.data(), pointers.size());
    }
    LogEvent("Program group %s, made by Program Manager", m_strProgramFolder.c_str());
    LogItems(items);
    std::vector<std::string> groups;
    const BOOL bNew = GetProgramGroups(groups) && !IsListed(groups, m_strProgramFolder);
    if (!DdeCreateProgramGroup(m_strProgramFolder, pointers.data(), pointers.size()))
        return FALSE;
    m_journal.m_strGroup = m_strProgramFolder;
    m_journal.m_bGroupCreated = bNew;
    return TRUE;
}

void CSetupEngine::RemoveProgramFolder()
{
    if (m_journal.m_strGroup.empty())
        return;
    // A group this run made goes with everything in it; of a folder of links,
    // this run's links go, and the folder when nothing else is left in it. In
    // a group that was there before, only the items of files the rollback
    // deletes go: an item of a file that stays may be older than this run.
    std::vector<std::string> captions;
    LogEvent("Rollback: %s the program group %s", m_journal.m_bGroupCreated ? "removed" : "took this run's items from",
             m_journal.m_strGroup.c_str());
    if (m_journal.m_bGroupCreated) {
        if (!m_bShellLinkGroup) {
            DdeDeleteGroup(m_journal.m_strGroup);
            return;
        }
        for (const ProgramItem& item : ProgramItemsOf(*this))
            captions.push_back(item.m_strCaption);
    } else {
        for (POSITION pos = m_journal.m_lstNewFiles.GetHeadPosition(); pos;) {
            const CInstalledFile& file = *m_journal.m_lstNewFiles.GetNext(pos);
            if (file.m_dwFlags & FILE_SHORTCUT)
                captions.push_back(CaptionForFile(FileNamePart(file.m_strName)));
        }
    }
    if (m_bShellLinkGroup)
        DeleteShellLinks(m_journal.m_strGroup, captions, m_journal.m_bGroupCreated);
    else if (!captions.empty())
        DdeDeleteItems(m_journal.m_strGroup, captions);
}

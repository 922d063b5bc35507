// The program folder: a Program Manager group with one item per marked file.
#include "engine/setup_engine.h"

#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "platform/progman_text.h"

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
BOOL CSetupEngine::CreateProgramFolder()
{
    const std::vector<ProgramItem> items = ProgramItemsOf(*this);
    std::vector<const ProgramItem*> pointers;
    for (const ProgramItem& item : items)
        pointers.push_back(&item);
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
    if (m_journal.m_bGroupCreated) {
        DdeDeleteGroup(m_journal.m_strGroup);
        return;
    }
    // In a group that was there before, only the items of files the rollback
    // deletes go: an item of a file that stays may be older than this run.
    std::vector<std::string> captions;
    for (POSITION pos = m_journal.m_lstNewFiles.GetHeadPosition(); pos;) {
        const CInstalledFile& file = *m_journal.m_lstNewFiles.GetNext(pos);
        if (file.m_dwFlags & FILE_SHORTCUT)
            captions.push_back(CaptionForFile(FileNamePart(file.m_strName)));
    }
    if (!captions.empty())
        DdeDeleteItems(m_journal.m_strGroup, captions);
}

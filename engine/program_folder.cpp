// The program folder: a Program Manager group with one item per marked file,
// or where Program Manager did not answer, a folder of shell links.
#include "engine/setup_engine.h"

#include "framework/event_log.h"
#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "platform/shell_link.h"

namespace {

struct CaptionRow {
    const char* pszFileName;
    const char* pszCaption;
};

// The product's files with captions of their own, searched in this order.
// Program Manager reads the caption unquoted: none holds a comma or parenthesis.
const CaptionRow kCaptions[] = {
    {"Tessel.exe", "Tessel"},
    {"Vantler.hlp", "Vantler ActiveX Help"},
    {"Tessel.hlp", "Tessel Help"},
    {"Joust.vbp", "Joust - VB"},
    {"Q7.vbp", "Q7 - VB"},
    {"Joust.exe", "Joust - Delphi"},
    {"Q7.exe", "Q7 - Delphi"},
};

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
BOOL CSetupEngine::CreateProgramFolder()
{
    const std::vector<ProgramItem> items = ProgramItemsOf(*this);
    std::vector<const ProgramItem*> pointers;
    for (const ProgramItem& item : items)
        pointers.push_back(&item);
    std::string strFolder;
    if (!m_bShellLinkGroup)
        LogEvent("Program group %s, made by Program Manager", m_strProgramFolder.c_str());
    else if (GetShellLinkGroupFolder(m_strProgramFolder, strFolder))
        LogEvent("Program group %s, made of shell links in %s", m_strProgramFolder.c_str(), strFolder.c_str());
    for (const ProgramItem& item : items)
        LogEvent("Group item %s: %s", item.m_strCaption.c_str(), item.m_strCommandLine.c_str());
    if (m_bShellLinkGroup)
        return CreateShellLinkGroup(m_strProgramFolder, pointers.data(), pointers.size());
    return DdeCreateProgramGroup(m_strProgramFolder, pointers.data(), pointers.size());
}

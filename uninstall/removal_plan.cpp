#include "uninstall/removal_plan.h"

#include "engine/registry_entries.h"
#include "framework/event_log.h"
#include "model/install_mngr.h"
#include "model/media_format.h"
#include "model/path_component.h"
#include "platform/progman_text.h"

namespace {

// A count that the install leaves as it is: it cannot go up, so it cannot
// be told from a count of its own.
const DWORD COUNT_PINNED = 0xFFFFFFFF;
// What the install writes after the program in the open command.
const char OPEN_ARGUMENT[] = " \"%1\"";

std::string Unquoted(const std::string& strText)
{
    if (strText.size() >= 2 && strText.front() == '"' && strText.back() == '"')
        return strText.substr(1, strText.size() - 2);
    return strText;
}

// The value names strProgram, with or without quotes around it.
bool NamesProgram(const std::string& strValue, const std::string& strProgram)
{
    return SameName(Unquoted(strValue), strProgram);
}

// The open command is the program, long or short and perhaps quoted,
// followed by the argument the install writes.
bool CommandRunsProgram(const std::string& strCommand, const std::string& strProgram,
                        const std::string& strShortProgram)
{
    const std::string::size_type nSuffix = sizeof OPEN_ARGUMENT - 1;
    if (strCommand.size() <= nSuffix || strCommand.compare(strCommand.size() - nSuffix, nSuffix, OPEN_ARGUMENT) != 0)
        return false;
    const std::string strRun = strCommand.substr(0, strCommand.size() - nSuffix);
    return NamesProgram(strRun, strProgram) || (!strShortProgram.empty() && NamesProgram(strRun, strShortProgram));
}

RemovalStep Step(RemovalStep::Kind kind, const std::string& strPath, RegRoot root = REG_MACHINE)
{
    RemovalStep step;
    step.kind = kind;
    step.strPath = strPath;
    step.root = root;
    return step;
}

RemainingItem Remains(RemainingItem::Reason reason, const std::string& strName)
{
    RemainingItem item;
    item.reason = reason;
    item.strName = strName;
    return item;
}

const char* RootName(RegRoot root) { return root == REG_CLASSES ? "HKCR\\" : "HKLM\\"; }

}  // namespace

std::string RemovalStep::Describe() const
{
    switch (kind) {
    case UNREGISTER:
        return "unregister " + strPath;
    case DELETE_GROUP_ITEMS:
    case DELETE_SHELL_LINKS: {
        std::string text = kind == DELETE_GROUP_ITEMS ? "delete items of "
                           : bUserPrograms            ? "delete user's links of "
                                                      : "delete links of ";
        text += strName + ":";
        for (const std::string& file : astrFiles)
            text += " " + file;
        return text;
    }
    case DELETE_GROUP:
        return "delete group " + strName + " if empty";
    case DELETE_KEY:
        return std::string("delete key ") + RootName(root) + strPath;
    case SET_SHARED_COUNT:
        return "count " + strPath + " = " + std::to_string(dwCount);
    case DELETE_SHARED_COUNT:
        return "delete count " + strPath;
    case SAVE_RECORD:
        return "save record without shared files";
    case DELETE_FILE:
        return "delete " + strPath;
    case REMOVE_DIRECTORY:
        return "remove directory " + strPath;
    }
    return std::string();
}

std::string RemainingItem::Describe() const
{
    static const char* const kReasons[] = {
        "outside",   "system file", "still used", "kept",       "kept unasked", "other installation",
        "linked",    "not empty",   "group not empty", "group left", "at restart", "failed"};
    std::string text = std::string(kReasons[reason]) + " " + strName;
    if (reason == FAILED)
        text += " (" + std::to_string(dwError) + ")";
    return text;
}

BOOL CRemovalPlanner::Plan(const std::string& strDestDir, const std::string& strSysDir, RemovalPlan& plan)
{
    plan = RemovalPlan();
    m_files.clear();
    m_astrDirs.clear();
    m_counts.clear();
    m_bAnswerAll = false;
    m_strDestDir = strDestDir;
    if (!RecordDescribes(m_record, strDestDir))
        return FALSE;

    // The first directory below the root stands for D, the second for the
    // system directory; nothing else is bound to a place.
    const InstallNode& root = m_record.GetRoot();
    for (POSITION pos = root.files.GetHeadPosition(); pos;)
        plan.remaining.push_back(Remains(RemainingItem::OUTSIDE, root.files.GetNext(pos)->m_strName));
    int nIndex = 0;
    for (POSITION pos = root.children.GetHeadPosition(); pos; ++nIndex) {
        const InstallNode& child = *root.children.GetNext(pos);
        if (nIndex == ROOT_APPLICATION)
            Collect(child, strDestDir, false, plan);
        else if (nIndex == ROOT_SYSTEM)
            Collect(child, strSysDir, true, plan);
        else
            Skip(child, plan);
    }

    // The files that go, in tree order: D's and the shared ones let go.
    std::vector<const FileEntry*> removed;
    bool bShared = false;
    for (const FileEntry& entry : m_files) {
        if (entry.pFile->m_dwFlags & FILE_SHARED) {
            bShared = true;
            if (PlanSharedFile(entry, plan))
                removed.push_back(&entry);
        } else if (entry.bSystem) {
            plan.remaining.push_back(Remains(RemainingItem::SYSTEM_FILE, entry.strPath));
        } else {
            removed.push_back(&entry);
        }
    }

    // Registrations first: a library that has gone can no longer take its own back.
    for (const FileEntry* entry : removed) {
        if (entry->pFile->m_dwFlags & FILE_SELFREG)
            plan.steps.push_back(Step(RemovalStep::UNREGISTER, entry->strPath));
    }
    PlanGroup(plan);
    PlanRegistry(plan);
    plan.steps.insert(plan.steps.end(), m_counts.begin(), m_counts.end());
    if (bShared)
        plan.steps.push_back(Step(RemovalStep::SAVE_RECORD, std::string()));
    for (const FileEntry* entry : removed) {
        if (!(entry->pFile->m_dwFlags & FILE_SHARED))
            plan.steps.push_back(Step(RemovalStep::DELETE_FILE, entry->strPath));
    }
    for (auto it = m_astrDirs.rbegin(); it != m_astrDirs.rend(); ++it)
        plan.steps.push_back(Step(RemovalStep::REMOVE_DIRECTORY, *it));

    plan.tail.push_back(Step(RemovalStep::DELETE_FILE, strDestDir + "\\" + INSTALL_RECORD_NAME));
    plan.last.push_back(Step(RemovalStep::DELETE_FILE, strDestDir + "\\" + UNINSTALLER_NAME));
    // A drive root is no directory to remove ("C:" alone names the drive's current directory).
    if (strDestDir.size() > 2)
        plan.last.push_back(Step(RemovalStep::REMOVE_DIRECTORY, strDestDir));
    return TRUE;
}

void CRemovalPlanner::Collect(const InstallNode& node, const std::string& strDir, bool bSystem, RemovalPlan& plan)
{
    for (POSITION pos = node.children.GetHeadPosition(); pos;) {
        const InstallNode& child = *node.children.GetNext(pos);
        const std::string strName = child.dir ? child.dir->m_strName : std::string();
        const std::string strPath = strDir + "\\" + strName;
        if (!IsPlainComponent(strName) || strPath.size() >= MAX_PATH) {
            Skip(child, plan);
            continue;
        }
        // Deleting through a link would reach wherever it points.
        if (m_machine.IsLinkedDirectory(strPath)) {
            plan.remaining.push_back(Remains(RemainingItem::LINKED_DIRECTORY, strPath));
            continue;
        }
        if (!bSystem)
            m_astrDirs.push_back(strPath);
        Collect(child, strPath, bSystem, plan);
    }
    for (POSITION pos = node.files.GetHeadPosition(); pos;) {
        const CInstalledFile& file = *node.files.GetNext(pos);
        const std::string strPath = strDir + "\\" + file.GetShortName();
        if (!IsRecordedPath(file, strPath)) {
            plan.remaining.push_back(Remains(RemainingItem::OUTSIDE, file.m_strName));
            continue;
        }
        // The uninstaller and the record go last, whatever the tree says.
        if (!bSystem && strDir == m_strDestDir &&
            (SameName(file.GetShortName(), UNINSTALLER_NAME) || SameName(file.GetShortName(), INSTALL_RECORD_NAME)))
            continue;
        m_files.push_back({&file, strPath, bSystem});
    }
}

void CRemovalPlanner::Skip(const InstallNode& node, RemovalPlan& plan)
{
    for (POSITION pos = node.children.GetHeadPosition(); pos;)
        Skip(*node.children.GetNext(pos), plan);
    for (POSITION pos = node.files.GetHeadPosition(); pos;)
        plan.remaining.push_back(Remains(RemainingItem::OUTSIDE, node.files.GetNext(pos)->m_strName));
}

// The record's full path must be the one its place in the tree gives, so
// that the tree and the path cannot disagree about where the file is.
bool CRemovalPlanner::IsRecordedPath(const CInstalledFile& file, const std::string& strPath) const
{
    return IsPlainComponent(file.GetShortName()) && strPath.size() < MAX_PATH && SameName(file.m_strName, strPath);
}

// True when the file goes; its count step (with the file's own deletion, so
// that the two are done together) is among the counts.
bool CRemovalPlanner::PlanSharedFile(const FileEntry& entry, RemovalPlan& plan)
{
    const std::string& strPath = entry.strPath;
    DWORD dwCount = 0;
    const SharedCountState state = m_machine.ReadSharedCount(strPath, dwCount);
    if (state == COUNT_ODD || (state == COUNT_FOUND && dwCount == COUNT_PINNED)) {
        plan.remaining.push_back(Remains(RemainingItem::STILL_USED, strPath));
        return false;
    }
    if (state == COUNT_FOUND && dwCount >= 2) {
        RemovalStep step = Step(RemovalStep::SET_SHARED_COUNT, strPath);
        step.dwCount = dwCount - 1;
        m_counts.push_back(step);
        plan.remaining.push_back(Remains(RemainingItem::STILL_USED, strPath));
        return false;
    }
    // Counted as used by nobody (or by nobody any more).
    const SharedAnswer answer = Ask(strPath);
    if (answer == SHARED_REMOVE || answer == SHARED_REMOVE_ALL) {
        if (state == COUNT_FOUND)
            m_counts.push_back(Step(RemovalStep::DELETE_SHARED_COUNT, strPath));
        m_counts.push_back(Step(RemovalStep::DELETE_FILE, strPath));
        return true;
    }
    // A kept file stays counted once, for the program the user keeps it for:
    // so no later removal takes it away as unused.
    if (!(state == COUNT_FOUND && dwCount == 1)) {
        RemovalStep step = Step(RemovalStep::SET_SHARED_COUNT, strPath);
        step.dwCount = 1;
        m_counts.push_back(step);
    }
    const RemainingItem::Reason reason = answer == SHARED_UNASKED ? RemainingItem::KEPT_UNASKED : RemainingItem::KEPT;
    plan.remaining.push_back(Remains(reason, strPath));
    return false;
}

SharedAnswer CRemovalPlanner::Ask(const std::string& strPath)
{
    if (m_bAnswerAll)
        return m_answerAll;
    static const char* const kAnswers[] = {"Yes", "Yes to All", "No", "No to All", "none, nobody to ask: kept"};
    LogEvent("Question: remove the shared file %s, counted as used by nobody?", strPath.c_str());
    const SharedAnswer answer = m_question.AskRemoveSharedFile(strPath);
    LogEvent("Answer: %s", kAnswers[answer]);
    if (answer == SHARED_REMOVE_ALL || answer == SHARED_KEEP_ALL || answer == SHARED_UNASKED) {
        m_bAnswerAll = true;
        m_answerAll = answer;
    }
    return answer;
}

// Each entry goes only while it still names this installation's program;
// one that another installation took over stays.
void CRemovalPlanner::PlanRegistry(RemovalPlan& plan)
{
    const std::string strProgram = m_strDestDir + "\\" + m_record.m_strMainExe;
    std::string strValue;
    const std::string strAppKey = AppPathKey(m_record.m_strMainExe);
    if (IsOneKeyName(m_record.m_strMainExe) && m_machine.ReadString(REG_MACHINE, strAppKey, "", strValue)) {
        if (NamesProgram(strValue, strProgram))
            plan.steps.push_back(Step(RemovalStep::DELETE_KEY, strAppKey));
        else
            plan.remaining.push_back(Remains(RemainingItem::OTHER_INSTALLATION, std::string("HKLM\\") + strAppKey));
    }

    // The extension and its document type go together, and only while the
    // type opens this program and the extension names the type; an extension
    // that is gone already (a removal that stopped between the two) is no
    // other installation's.
    const std::string strDocKey = DocTypeKey(m_record.m_strMainExe);
    const std::string strExtKey = ExtensionKey(m_record.m_strResExt);
    std::string strCommand;
    const bool bExt = IsOneKeyName(m_record.m_strResExt) && m_machine.ReadString(REG_CLASSES, strExtKey, "", strValue);
    const bool bOurs = m_machine.ReadString(REG_CLASSES, strDocKey + "\\shell\\open\\command", "", strCommand) &&
                       CommandRunsProgram(strCommand, strProgram, ShortProgramPath());
    if (bOurs && (!bExt || SameName(strValue, strDocKey))) {
        if (bExt)
            plan.steps.push_back(Step(RemovalStep::DELETE_KEY, strExtKey, REG_CLASSES));
        plan.steps.push_back(Step(RemovalStep::DELETE_KEY, strDocKey, REG_CLASSES));
    } else if (bExt || !strCommand.empty()) {
        plan.remaining.push_back(Remains(RemainingItem::OTHER_INSTALLATION, std::string("HKCR\\") + strExtKey));
    }

    const std::string strUninstKey = UninstallKey(m_record.m_strProductTitle);
    if (IsOneKeyName(m_record.m_strProductTitle) &&
        m_machine.ReadString(REG_MACHINE, strUninstKey, "UninstallString", strValue)) {
        if (NamesProgram(strValue, m_strDestDir + "\\" + UNINSTALLER_NAME))
            plan.tail.push_back(Step(RemovalStep::DELETE_KEY, strUninstKey));
        else
            plan.remaining.push_back(Remains(RemainingItem::OTHER_INSTALLATION, std::string("HKLM\\") + strUninstKey));
    }
}

// The short form the install wrote into the open command. A program that is
// gone already has none: then it is D's short form and the program's name,
// which is its own short name when it is one (as Tessel.exe is).
std::string CRemovalPlanner::ShortProgramPath()
{
    const std::string strShort = m_machine.ShortPathOf(m_strDestDir + "\\" + m_record.m_strMainExe);
    if (!strShort.empty())
        return strShort;
    const std::string strShortDir = m_machine.ShortPathOf(m_strDestDir);
    return strShortDir.empty() ? std::string() : strShortDir + "\\" + m_record.m_strMainExe;
}

void CRemovalPlanner::PlanGroup(RemovalPlan& plan)
{
    const std::string& strGroup = m_record.m_strProgramFolder;
    if (strGroup.empty())
        return;
    if (!IsSafeGroupName(strGroup) || strGroup.size() > PROGMAN_MAX_GROUP_NAME) {
        plan.remaining.push_back(Remains(RemainingItem::OUTSIDE, strGroup));
        return;
    }
    RemovalStep items = Step(RemovalStep::DELETE_GROUP_ITEMS, std::string());
    items.strName = strGroup;
    for (const FileEntry& entry : m_files) {
        if (entry.pFile->m_dwFlags & FILE_SHORTCUT)
            items.astrFiles.push_back(entry.strPath);
    }
    if (m_machine.HasProgramGroup(strGroup)) {
        if (m_machine.IsProgramManagerAnswering()) {
            if (!items.astrFiles.empty())
                plan.steps.push_back(items);
            RemovalStep group = Step(RemovalStep::DELETE_GROUP, std::string());
            group.strName = strGroup;
            plan.steps.push_back(group);
        } else {
            // No shell answers in this session (a deployment tool's removal
            // of an install made at the screen): the group is the folder of
            // links the shell made of it, and goes as such.
            RemovalStep links = items;
            links.kind = RemovalStep::DELETE_SHELL_LINKS;
            links.bUserPrograms = true;
            plan.steps.push_back(links);
        }
    }
    // The install made it where Program Manager did not answer.
    if (m_machine.HasShellLinkGroup(strGroup)) {
        items.kind = RemovalStep::DELETE_SHELL_LINKS;
        plan.steps.push_back(items);
    }
}

bool RecordDescribes(const CInstallMngr& record, const std::string& strDestDir)
{
    return SameName(record.m_strDestDir, strDestDir);
}

void DropSharedFiles(InstallNode& node)
{
    for (POSITION pos = node.children.GetHeadPosition(); pos;)
        DropSharedFiles(*node.children.GetNext(pos));
    for (POSITION pos = node.files.GetHeadPosition(); pos;) {
        const POSITION at = pos;
        CInstalledFile* pFile = node.files.GetNext(pos);
        if (pFile->m_dwFlags & FILE_SHARED) {
            node.files.RemoveAt(at);
            delete pFile;
        }
    }
}

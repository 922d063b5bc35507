// Any bytes as the install record Setup.inf of an installation in D, on a
// machine whose registry names D's programs, counts shared files variously
// and has links among the directories: every path the removal plan names
// lies in D or the system directory and is one the record holds (or D, its
// record and its uninstaller); every key is one of the product's own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "engine/registry_entries.h"
#include "framework/mem_file.h"
#include "model/archive.h"
#include "model/install_mngr.h"
#include "model/media_format.h"
#include "model/path_component.h"
#include "platform/progman_text.h"
#include "uninstall/removal_plan.h"

namespace {

const std::string D = "C:\\Vantler";
const std::string SYS = "C:\\windows\\system32";

// A machine on which every entry still names D, with counts and links that
// follow the paths, and a user whose answers take turns.
class Machine : public IMachineState, public ISharedFileQuestion {
public:
    explicit Machine(const CInstallMngr& record) : m_record(record) {}

    bool ReadString(RegRoot root, const std::string& strKey, const std::string& strName, std::string& strValue) override
    {
        if (root == REG_CLASSES)
            strValue = strKey[0] == '.' ? DocTypeKey(m_record.m_strMainExe) : "\"" + Program() + "\" \"%1\"";
        else
            strValue = strName == "UninstallString" ? D + "\\" + UNINSTALLER_NAME : Program();
        return true;
    }
    SharedCountState ReadSharedCount(const std::string& strPath, DWORD& dwCount) override
    {
        dwCount = static_cast<DWORD>(strPath.size() % 4);
        return strPath.size() % 5 == 0 ? COUNT_MISSING : strPath.size() % 7 == 0 ? COUNT_ODD : COUNT_FOUND;
    }
    std::string ShortPathOf(const std::string&) override { return std::string(); }
    bool IsLinkedDirectory(const std::string& strDir) override { return strDir.size() % 11 == 0; }
    bool HasProgramGroup(const std::string&) override { return true; }
    bool IsProgramManagerAnswering() override { return m_nAsked % 2 == 0; }
    bool HasShellLinkGroup(const std::string&) override { return true; }
    SharedAnswer AskRemoveSharedFile(const std::string&) override
    {
        return static_cast<SharedAnswer>(m_nAsked++ % (SHARED_UNASKED + 1));
    }

private:
    std::string Program() const { return D + "\\" + m_record.m_strMainExe; }

    const CInstallMngr& m_record;
    int m_nAsked = 0;
};

// Every file path the record holds.
void CollectFiles(const InstallNode& node, std::set<std::string>& files)
{
    for (POSITION pos = node.files.GetHeadPosition(); pos;)
        files.insert(node.files.GetNext(pos)->m_strName);
    for (POSITION pos = node.children.GetHeadPosition(); pos;)
        CollectFiles(*node.children.GetNext(pos), files);
}

// The directories the tree below node gives in strDir.
void CollectDirs(const InstallNode& node, const std::string& strDir, std::set<std::string>& dirs)
{
    for (POSITION pos = node.children.GetHeadPosition(); pos;) {
        const InstallNode& child = *node.children.GetNext(pos);
        const std::string strPath = strDir + "\\" + (child.dir ? child.dir->m_strName : std::string());
        dirs.insert(strPath);
        CollectDirs(child, strPath, dirs);
    }
}

// Below strDir, shorter than a path can be, and every component a plain name.
bool Within(const std::string& strPath, const std::string& strDir)
{
    if (strPath.size() <= strDir.size() + 1 || strPath.size() >= MAX_PATH ||
        !SameName(strPath.substr(0, strDir.size() + 1), strDir + "\\"))
        return false;
    std::string::size_type start = strDir.size() + 1;
    for (;;) {
        const std::string::size_type end = strPath.find('\\', start);
        if (!IsPlainComponent(strPath.substr(start, end == std::string::npos ? end : end - start)))
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

bool Held(const std::set<std::string>& paths, const std::string& strPath)
{
    for (const std::string& held : paths) {
        if (SameName(held, strPath))
            return true;
    }
    return false;
}

void Check(bool bHolds)
{
    if (!bHolds)
        std::abort();
}

void CheckFile(const std::string& strPath, const std::set<std::string>& files)
{
    Check((Within(strPath, D) || Within(strPath, SYS)) && Held(files, strPath));
}

void CheckSteps(const std::vector<RemovalStep>& steps, const CInstallMngr& record, const std::set<std::string>& files,
                const std::set<std::string>& dirs)
{
    const std::set<std::string> keys = {AppPathKey(record.m_strMainExe), ExtensionKey(record.m_strResExt),
                                        DocTypeKey(record.m_strMainExe), UninstallKey(record.m_strProductTitle)};
    for (const RemovalStep& step : steps) {
        switch (step.kind) {
        case RemovalStep::UNREGISTER:
        case RemovalStep::SET_SHARED_COUNT:
        case RemovalStep::DELETE_SHARED_COUNT:
            CheckFile(step.strPath, files);
            break;
        case RemovalStep::DELETE_FILE:
            if (step.strPath != D + "\\" + INSTALL_RECORD_NAME && step.strPath != D + "\\" + UNINSTALLER_NAME)
                CheckFile(step.strPath, files);
            break;
        case RemovalStep::REMOVE_DIRECTORY:
            Check(step.strPath == D || (Within(step.strPath, D) && dirs.count(step.strPath)));
            break;
        case RemovalStep::DELETE_GROUP_ITEMS:
        case RemovalStep::DELETE_SHELL_LINKS:
            for (const std::string& strFile : step.astrFiles)
                CheckFile(strFile, files);
            Check(IsSafeGroupName(step.strName));
            break;
        case RemovalStep::DELETE_GROUP:
            Check(IsSafeGroupName(step.strName));
            break;
        case RemovalStep::DELETE_KEY:
            Check(keys.count(step.strPath) != 0);
            Check(step.strPath != UninstallKey(record.m_strProductTitle) || IsOneKeyName(record.m_strProductTitle));
            break;
        case RemovalStep::SAVE_RECORD:
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CInstallMngr record;
    try {
        CMemFile file(data, size);
        if (!record.LoadRecord(file))
            return 0;
    } catch (const CArchiveException&) {
        return 0;
    }
    record.m_strResExt = RESOURCE_EXTENSION;
    Machine machine(record);
    CRemovalPlanner planner(record, machine, machine);
    RemovalPlan plan;
    // A record of another directory plans nothing; then it is taken to be
    // D's, so that every entry is weighed.
    if (!SameName(record.m_strDestDir, D)) {
        Check(!planner.Plan(D, SYS, plan) && plan.steps.empty() && plan.tail.empty() && plan.last.empty());
        record.m_strDestDir = D;
    }

    std::set<std::string> files, dirs;
    CollectFiles(record.GetRoot(), files);
    if (POSITION pos = record.GetRoot().children.GetHeadPosition())
        CollectDirs(*record.GetRoot().children.GetNext(pos), D, dirs);

    Check(planner.Plan(D, SYS, plan) == TRUE);
    CheckSteps(plan.steps, record, files, dirs);
    CheckSteps(plan.tail, record, files, dirs);
    CheckSteps(plan.last, record, files, dirs);
    return 0;
}

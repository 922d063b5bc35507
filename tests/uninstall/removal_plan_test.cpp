// The removal plan without Windows: an install record built in code and a
// machine answered from tables go in, the steps and what remains come out.
// One row per situation; each row changes the sample installation and names
// the lines the plan must hold and must not hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>

#include "engine/registry_entries.h"
#include "model/install_mngr.h"
#include "uninstall/removal_plan.h"

namespace {

const std::string D = "C:\\Program Files\\Vantler";
const std::string SYS = "C:\\WINDOWS\\system32";
const std::string RT = SYS + "\\VantlerRt.dll";
const std::string GL = SYS + "\\Glue.dll";
const std::string APP_KEY = AppPathKey("Tessel.exe");
const std::string UNINST_KEY = UninstallKey("Vantler");
const std::string COMMAND_KEY = "Tessel.Document\\shell\\open\\command";

class FakeMachine : public IMachineState, public ISharedFileQuestion {
public:
    bool ReadString(RegRoot root, const std::string& strKey, const std::string& strName, std::string& strValue) override
    {
        auto it = m_values.find(Name(root, strKey, strName));
        if (it == m_values.end())
            return false;
        strValue = it->second;
        return true;
    }
    SharedCountState ReadSharedCount(const std::string& strPath, DWORD& dwCount) override
    {
        if (m_odd.count(strPath))
            return COUNT_ODD;
        auto it = m_counts.find(strPath);
        if (it == m_counts.end())
            return COUNT_MISSING;
        dwCount = it->second;
        return COUNT_FOUND;
    }
    std::string ShortPathOf(const std::string& strPath) override
    {
        if (m_gone.count(strPath))
            return std::string();
        if (strPath == D)
            return "C:\\PROGRA~1\\Vantler";
        return strPath == D + "\\Tessel.exe" ? "C:\\PROGRA~1\\Vantler\\Tessel.exe" : std::string();
    }
    bool IsLinkedDirectory(const std::string& strDir) override { return m_links.count(strDir) != 0; }
    bool HasProgramGroup(const std::string& strGroup) override { return m_groups.count(strGroup) != 0; }
    bool IsProgramManagerAnswering() override { return m_bProgman; }
    bool HasShellLinkGroup(const std::string& strGroup) override { return m_linkGroups.count(strGroup) != 0; }
    SharedAnswer AskRemoveSharedFile(const std::string& strPath) override
    {
        m_asked.push_back(strPath);
        if (m_answers.empty())
            return SHARED_KEEP;
        const SharedAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    static std::string Name(RegRoot root, const std::string& strKey, const std::string& strName)
    {
        return (root == REG_CLASSES ? "HKCR\\" : "HKLM\\") + strKey + "|" + strName;
    }
    void Set(RegRoot root, const std::string& strKey, const std::string& strName, const std::string& strValue)
    {
        m_values[Name(root, strKey, strName)] = strValue;
    }

    std::map<std::string, std::string> m_values;
    std::map<std::string, DWORD> m_counts;
    std::set<std::string> m_odd, m_links, m_groups, m_linkGroups, m_gone;
    std::deque<SharedAnswer> m_answers;
    std::vector<std::string> m_asked;
    bool m_bProgman = true;
};

// The sample installation in D: its record and a machine on which every
// entry still names it, the shared runtime counted once.
struct Installation {
    Installation()
    {
        record.m_strDestDir = D;
        record.m_strProductTitle = "Vantler";
        record.m_strProgramFolder = "Vantler";
        record.m_strMainExe = "Tessel.exe";
        record.m_strResExt = RESOURCE_EXTENSION;
        app = record.AddDirectory(record.GetRoot(), ROOT_APPLICATION_NAME);
        sys = record.AddDirectory(record.GetRoot(), ROOT_SYSTEM_NAME);
        vb = record.AddDirectory(*app, "VB");
        joust = record.AddDirectory(*vb, "Joust");
        record.AddFile(*joust, D + "\\VB\\Joust\\Joust.vbp", 10, FILE_SHORTCUT);
        record.AddFile(*joust, D + "\\VB\\Joust\\Form1.frm", 10);
        record.AddFile(*app, D + "\\Tessel.exe", 10, FILE_SHORTCUT);
        record.AddFile(*app, D + "\\Vantler.ocx", 10, FILE_SELFREG);
        record.AddFile(*sys, RT, 10, FILE_SHARED);

        machine.Set(REG_MACHINE, APP_KEY, "", D + "\\Tessel.exe");
        machine.Set(REG_MACHINE, APP_KEY, "Path", D);
        machine.Set(REG_CLASSES, ".vtr", "", "Tessel.Document");
        machine.Set(REG_CLASSES, COMMAND_KEY, "", "C:\\PROGRA~1\\Vantler\\Tessel.exe \"%1\"");
        machine.Set(REG_MACHINE, UNINST_KEY, "UninstallString", D + "\\Uninst.exe");
        machine.m_counts[RT] = 1;
        machine.m_groups.insert("Vantler");
        machine.m_answers = {SHARED_REMOVE};
    }

    // Every line of the plan: steps as they are, then "tail: ", "last: " and
    // "remains: " lines.
    std::vector<std::string> Lines(bool* pPlanned = nullptr)
    {
        CRemovalPlanner planner(record, machine, machine);
        RemovalPlan plan;
        const BOOL bPlanned = planner.Plan(strDest, SYS, plan);
        if (pPlanned)
            *pPlanned = bPlanned != FALSE;
        std::vector<std::string> lines;
        for (const RemovalStep& step : plan.steps)
            lines.push_back(step.Describe());
        for (const RemovalStep& step : plan.tail)
            lines.push_back("tail: " + step.Describe());
        for (const RemovalStep& step : plan.last)
            lines.push_back("last: " + step.Describe());
        for (const RemainingItem& item : plan.remaining)
            lines.push_back("remains: " + item.Describe());
        return lines;
    }

    CInstallMngr record;
    InstallNode* app;
    InstallNode* sys;
    InstallNode* vb;
    InstallNode* joust;
    FakeMachine machine;
    std::string strDest = D;
};

TEST(RemovalPlan, TheSampleInstallationGoesInOrder)
{
    Installation in;
    const std::vector<std::string> expected = {
        "unregister " + D + "\\Vantler.ocx",
        "delete items of Vantler: " + D + "\\VB\\Joust\\Joust.vbp " + D + "\\Tessel.exe",
        "delete group Vantler if empty",
        "delete key HKLM\\" + APP_KEY,
        "delete key HKCR\\.vtr",
        "delete key HKCR\\Tessel.Document",
        "delete count " + RT,
        "delete " + RT,
        "save record without shared files",
        "delete " + D + "\\VB\\Joust\\Joust.vbp",
        "delete " + D + "\\VB\\Joust\\Form1.frm",
        "delete " + D + "\\Tessel.exe",
        "delete " + D + "\\Vantler.ocx",
        "remove directory " + D + "\\VB\\Joust",
        "remove directory " + D + "\\VB",
        "tail: delete key HKLM\\" + UNINST_KEY,
        "tail: delete " + D + "\\Setup.inf",
        "last: delete " + D + "\\Uninst.exe",
        "last: remove directory " + D,
    };
    EXPECT_EQ(expected, in.Lines());
    EXPECT_EQ(std::vector<std::string>{RT}, in.machine.m_asked);
}

struct Row {
    const char* pszName;
    std::function<void(Installation&)> edit;
    std::vector<std::string> present;
    std::vector<std::string> absent;
    size_t nQuestions;  // shared files the user is asked about
};

const std::string DELETE_APP_KEY = "delete key HKLM\\" + APP_KEY;
const std::string DELETE_EXT = "delete key HKCR\\.vtr";
const std::string DELETE_UNINST = "tail: delete key HKLM\\" + UNINST_KEY;

void SetCommand(Installation& in, const std::string& command)
{
    in.machine.Set(REG_CLASSES, COMMAND_KEY, "", command);
}

// A file below the application directory that names itself strRecorded.
void AddAppFile(Installation& in, InstallNode& node, const std::string& strRecorded, DWORD flags = 0)
{
    in.record.AddFile(node, strRecorded, 1, flags);
}

const Row kRows[] = {
    {"a count above one is lowered and the file stays registered",
     [](Installation& in) {
         in.machine.m_counts[RT] = 3;
         in.record.AddFile(*in.sys, GL, 1, FILE_SHARED | FILE_SELFREG);
         in.machine.m_counts[GL] = 2;
     },
     {"count " + RT + " = 2", "count " + GL + " = 1", "remains: still used " + RT, "save record without shared files"},
     {"delete " + RT, "unregister " + GL},
     0},
    {"a count of one: the user keeps the file, which stays counted once",
     [](Installation& in) { in.machine.m_answers = {SHARED_KEEP}; },
     {"remains: kept " + RT, "save record without shared files"},
     {"delete " + RT, "delete count " + RT, "count " + RT + " = 1"},
     1},
    {"unattended, nobody is asked: every such file is kept the same way and said to be kept unasked",
     [](Installation& in) {
         in.record.AddFile(*in.sys, GL, 1, FILE_SHARED);
         in.machine.m_counts[GL] = 1;
         in.machine.m_answers = {SHARED_UNASKED};
     },
     {"remains: kept unasked " + RT, "remains: kept unasked " + GL},
     {"delete " + RT, "delete " + GL, "delete count " + RT, "count " + RT + " = 1"},
     1},
    {"no count at all is no use either: kept, it is counted once",
     [](Installation& in) {
         in.machine.m_counts.clear();
         in.machine.m_answers = {SHARED_KEEP};
     },
     {"count " + RT + " = 1", "remains: kept " + RT},
     {"delete " + RT},
     1},
    {"no count, removed: nothing to delete but the file",
     [](Installation& in) { in.machine.m_counts.clear(); },
     {"delete " + RT},
     {"delete count " + RT},
     1},
    {"a count that cannot go up, or is no count, is left alone with its file",
     [](Installation& in) {
         in.machine.m_counts[RT] = 0xFFFFFFFF;
         in.record.AddFile(*in.sys, GL, 1, FILE_SHARED);
         in.machine.m_odd.insert(GL);
     },
     {"remains: still used " + RT, "remains: still used " + GL},
     {"delete " + RT, "delete " + GL, "count " + RT + " = 4294967294"},
     0},
    {"Yes to all answers every later shared file",
     [](Installation& in) {
         in.record.AddFile(*in.sys, GL, 1, FILE_SHARED | FILE_SELFREG);
         in.machine.m_counts[GL] = 1;
         in.machine.m_answers = {SHARED_REMOVE_ALL};
     },
     {"delete " + RT, "delete " + GL, "unregister " + GL},
     {},
     1},
    {"No to all keeps every later shared file",
     [](Installation& in) {
         in.record.AddFile(*in.sys, GL, 1, FILE_SHARED);
         in.machine.m_counts[GL] = 0;
         in.machine.m_answers = {SHARED_KEEP_ALL, SHARED_REMOVE};
     },
     {"remains: kept " + RT, "remains: kept " + GL, "count " + GL + " = 1"},
     {"delete " + RT, "delete " + GL},
     1},
    {"a shared file in D follows its count too",
     [](Installation& in) {
         AddAppFile(in, *in.app, D + "\\Shared.dll", FILE_SHARED);
         in.machine.m_counts[D + "\\Shared.dll"] = 2;
     },
     {"count " + D + "\\Shared.dll = 1", "remains: still used " + D + "\\Shared.dll"},
     {"delete " + D + "\\Shared.dll"},
     1},
    {"a file in the system directory without the shared mark stays, registered",
     [](Installation& in) { in.record.AddFile(*in.sys, GL, 1, FILE_SELFREG); },
     {"remains: system file " + GL},
     {"delete " + GL, "unregister " + GL},
     1},
    {"entries that another installation took over stay",
     [](Installation& in) {
         in.machine.Set(REG_MACHINE, APP_KEY, "", "C:\\Other\\Tessel.exe");
         in.machine.Set(REG_MACHINE, UNINST_KEY, "UninstallString", "\"C:\\Other Place\\Uninst.exe\"");
         SetCommand(in, "C:\\Other\\Tessel.exe \"%1\"");
     },
     {"remains: other installation HKLM\\" + APP_KEY, "remains: other installation HKLM\\" + UNINST_KEY,
      "remains: other installation HKCR\\.vtr"},
     {DELETE_APP_KEY, DELETE_EXT, DELETE_UNINST},
     1},
    {"an extension that names another type keeps the type too",
     [](Installation& in) { in.machine.Set(REG_CLASSES, ".vtr", "", "Other.Document"); },
     {"remains: other installation HKCR\\.vtr"},
     {DELETE_EXT, "delete key HKCR\\Tessel.Document"},
     1},
    {"an extension that is gone already leaves the type to go alone",
     [](Installation& in) { in.machine.m_values.erase(FakeMachine::Name(REG_CLASSES, ".vtr", "")); },
     {"delete key HKCR\\Tessel.Document"},
     {DELETE_EXT, "remains: other installation"},
     1},
    {"quoted and long forms still name this installation",
     [](Installation& in) {
         in.machine.Set(REG_MACHINE, APP_KEY, "", "\"" + D + "\\TESSEL.EXE\"");
         in.machine.Set(REG_MACHINE, UNINST_KEY, "UninstallString", "\"" + D + "\\Uninst.exe\"");
         SetCommand(in, "\"" + D + "\\Tessel.exe\" \"%1\"");
     },
     {DELETE_APP_KEY, DELETE_EXT, DELETE_UNINST},
     {},
     1},
    {"a program that is gone already has its short form from D's",
     [](Installation& in) { in.machine.m_gone.insert(D + "\\Tessel.exe"); },
     {DELETE_EXT},
     {},
     1},
    {"the long form unquoted, as a path without blanks is written",
     [](Installation& in) { SetCommand(in, D + "\\Tessel.exe \"%1\""); },
     {DELETE_EXT},
     {},
     1},
    {"an open command that runs the program otherwise is not ours",
     [](Installation& in) { SetCommand(in, "C:\\PROGRA~1\\Vantler\\Tessel.exe /open \"%1\""); },
     {"remains: other installation HKCR\\.vtr"},
     {DELETE_EXT},
     1},
    {"entries that are gone already are no trouble",
     [](Installation& in) {
         in.machine.m_values.clear();
         in.machine.m_groups.clear();
     },
     {"tail: delete " + D + "\\Setup.inf"},
     {DELETE_APP_KEY, DELETE_EXT, DELETE_UNINST, "delete group Vantler if empty", "remains: other installation"},
     1},
    {"entries of the record that point elsewhere are skipped and named",
     [](Installation& in) {
         AddAppFile(in, *in.app, "C:\\Other\\Tessel.exe");
         AddAppFile(in, *in.app, "C:\\boot.ini");
         AddAppFile(in, *in.vb, D + "\\VB\\..\\..\\Victim.dll");
         AddAppFile(in, *in.app, D + "\\Tessel.exe:stream");
         AddAppFile(in, *in.app, D + "\\CON");
         AddAppFile(in, *in.app, D + "\\" + std::string(240, 'x'));
         AddAppFile(in, *in.app, "Bare.txt");
         in.record.AddFile(in.record.GetRoot(), "C:\\Root.txt", 1);
         in.record.AddFile(*in.record.AddDirectory(*in.app, ".."), D + "\\..\\Up.txt", 1);
         in.record.AddFile(*in.record.AddDirectory(in.record.GetRoot(), "Third"), "C:\\Third\\x.dll", 1);
         in.record.AddFile(*in.sys, "C:\\WINNT\\SYSTEM32\\VantlerRt.dll", 1, FILE_SHARED);
     },
     {"remains: outside C:\\Other\\Tessel.exe", "remains: outside C:\\boot.ini",
      "remains: outside " + D + "\\VB\\..\\..\\Victim.dll", "remains: outside " + D + "\\Tessel.exe:stream",
      "remains: outside " + D + "\\CON", "remains: outside " + D + "\\" + std::string(240, 'x'),
      "remains: outside Bare.txt", "remains: outside C:\\Root.txt", "remains: outside " + D + "\\..\\Up.txt",
      "remains: outside C:\\Third\\x.dll", "remains: outside C:\\WINNT\\SYSTEM32\\VantlerRt.dll"},
     {"delete C:\\Other\\Tessel.exe", "delete C:\\boot.ini", "delete " + D + "\\CON", "remove directory " + D + "\\..",
      "delete C:\\Third\\x.dll", "delete C:\\WINNT\\SYSTEM32\\VantlerRt.dll"},
     1},
    {"nothing below a directory that links elsewhere is touched",
     [](Installation& in) { in.machine.m_links.insert(D + "\\VB"); },
     {"remains: linked " + D + "\\VB"},
     {"delete " + D + "\\VB\\Joust\\Form1.frm", "remove directory " + D + "\\VB",
      "remove directory " + D + "\\VB\\Joust"},
     1},
    {"the uninstaller and the record go last, even when the tree lists them",
     [](Installation& in) {
         AddAppFile(in, *in.app, D + "\\UNINST.EXE");
         AddAppFile(in, *in.app, D + "\\Setup.inf");
     },
     {"last: delete " + D + "\\Uninst.exe"},
     {"delete " + D + "\\UNINST.EXE", "delete " + D + "\\Setup.inf"},
     1},
    {"a group that is not there is left alone; a name that addresses another folder is refused",
     [](Installation& in) {
         in.record.m_strProgramFolder = "..";
         in.machine.m_groups.insert("..");
         in.machine.m_linkGroups.insert("..");
     },
     {"remains: outside .."},
     {"delete group .. if empty", "delete links of .."},
     1},
    {"a group of shell links (made where Program Manager did not answer): the items' links go, not by Program Manager",
     [](Installation& in) {
         in.machine.m_groups.clear();
         in.machine.m_linkGroups.insert("Vantler");
     },
     {"delete links of Vantler: " + D + "\\VB\\Joust\\Joust.vbp " + D + "\\Tessel.exe"},
     {"delete items of Vantler", "delete group Vantler"},
     1},
    {"a group in both places: each goes its own way",
     [](Installation& in) { in.machine.m_linkGroups.insert("Vantler"); },
     {"delete items of Vantler: " + D + "\\VB\\Joust\\Joust.vbp " + D + "\\Tessel.exe",
      "delete group Vantler if empty", "delete links of Vantler: " + D + "\\VB\\Joust\\Joust.vbp " + D + "\\Tessel.exe"},
     {},
     1},
    {"installed at the screen, removed where Program Manager does not answer: the user's folder of links goes",
     [](Installation& in) { in.machine.m_bProgman = false; },
     {"delete user's links of Vantler: " + D + "\\VB\\Joust\\Joust.vbp " + D + "\\Tessel.exe"},
     {"delete items of Vantler", "delete group Vantler", "delete links of Vantler"},
     1},
    {"no Program Manager and a group in both folders: each folder's links go",
     [](Installation& in) {
         in.machine.m_bProgman = false;
         in.machine.m_linkGroups.insert("Vantler");
     },
     {"delete user's links of Vantler: " + D + "\\VB\\Joust\\Joust.vbp " + D + "\\Tessel.exe",
      "delete links of Vantler: " + D + "\\VB\\Joust\\Joust.vbp " + D + "\\Tessel.exe"},
     {"delete items of Vantler", "delete group Vantler"},
     1},
    {"installed into a drive root: the root itself is never removed",
     [](Installation& in) {
         in.strDest = "C:";
         in.record.m_strDestDir = "C:";
         AddAppFile(in, *in.app, "C:\\Tool.exe");
     },
     {"delete C:\\Tool.exe", "last: delete C:\\Uninst.exe"},
     {"last: remove directory C:"},
     1},
};

TEST(RemovalPlan, Rows)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.pszName);
        Installation in;
        row.edit(in);
        const std::vector<std::string> lines = in.Lines();
        for (const std::string& line : row.present)
            EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << "missing: " << line;
        for (const std::string& line : row.absent) {
            for (const std::string& got : lines)
                EXPECT_NE(got.rfind(line, 0), 0u) << "unexpected: " << got;
        }
        EXPECT_EQ(row.nQuestions, in.machine.m_asked.size());
    }
}

TEST(RemovalPlan, ARecordOfAnotherDirectoryPlansNothing)
{
    Installation in;
    in.strDest = "C:\\Program Files\\Vantler Two";
    bool bPlanned = true;
    EXPECT_TRUE(in.Lines(&bPlanned).empty());
    EXPECT_FALSE(bPlanned);
    EXPECT_TRUE(in.machine.m_asked.empty());

    in.strDest = "c:\\program files\\VANTLER";  // the same folder
    EXPECT_FALSE(in.Lines(&bPlanned).empty());
    EXPECT_TRUE(bPlanned);
}

TEST(RemovalPlan, SavedRecordKeepsAllButTheSharedFiles)
{
    Installation in;
    in.record.AddFile(*in.vb, D + "\\VB\\Shared.dll", 1, FILE_SHARED | FILE_SELFREG);
    DropSharedFiles(in.record.GetRoot());
    std::vector<std::string> names;
    CObject* pItem = nullptr;
    for (int n = in.record.GetFirstItem(pItem); n != TREE_END; n = in.record.GetNextItem(pItem)) {
        if (n == TREE_FILE)
            names.push_back(static_cast<CInstalledFile*>(pItem)->m_strName);
    }
    const std::vector<std::string> expected = {D + "\\VB\\Joust\\Joust.vbp", D + "\\VB\\Joust\\Form1.frm",
                                               D + "\\Tessel.exe", D + "\\Vantler.ocx"};
    EXPECT_EQ(expected, names);
}

}  // namespace

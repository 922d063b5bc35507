// System registration on the real registry, redirected below a test key, and
// checked through regedit exports of that key before and after the run, not
// through the helpers under test. Self-registration uses the sample OCX,
// which writes the real HKEY_CLASSES_ROOT; its keys are removed again.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include <olectl.h>

#include "platform/registry.h"
#include "samples/vantler/src/vantler_ocx.h"
#include "tests/engine/engine_tree_fixture.h"
#include "tests/samples/sample_paths.h"

namespace {

const char kCurrentVersion[] = "\\M\\Software\\Microsoft\\Windows\\CurrentVersion";
const DWORD kReadOnly = KEY_READ;
const DWORD kValuesOnly = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// Export lines name keys below CurrentVersion by their rest ("SharedDLLs"),
// keys below the classes root as "HKCR\...": "[key]" for a key,
// "key|name=data" for a value, with "@" for the default value, string data
// unquoted and other data as regedit writes it (dword:00000004).
typedef std::set<std::string> Lines;

void Replace(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
}

// A quoted string of an export line from pos on; pos moves past it.
std::string Unquote(const std::string& line, size_t& pos)
{
    std::string text;
    for (++pos; pos < line.size() && line[pos] != '"'; ++pos) {
        if (line[pos] == '\\')
            ++pos;
        text += line[pos];
    }
    ++pos;
    return text;
}

std::string JournalText(const InstallJournal& j)
{
    std::ostringstream text;
    text << "app " << j.m_bAppPathSaved << "/" << j.m_bAppPathWritten << " (" << j.m_strOldAppPath << ","
         << j.m_strOldAppDir << ") uninst " << j.m_bUninstKeySaved << "/" << j.m_bUninstKeyWritten << " ("
         << j.m_strOldDisplayName << "," << j.m_strOldUninstallString << ") doc " << j.m_bDocTypeExisted << "/"
         << j.m_bDocTypeWritten << " ext " << j.m_bExtExisted << "/" << j.m_bExtWritten << " counted:";
    for (POSITION pos = j.m_lstCountedDlls.GetHeadPosition(); pos;)
        text << " " << j.m_lstCountedDlls.GetNext(pos)->m_strName;
    return text.str();
}

class RegistrationTest : public EngineTreeFixture {
protected:
    void SetUp() override
    {
        m_strRoot = "Software\\VantlerEngineTest" + std::to_string(GetCurrentProcessId());
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_strRoot.c_str());
        for (const char* key : {"App Paths", "Uninstall", "SharedDLLs"}) {
            HKEY handle;
            RegCreateKeyA(HKEY_LOCAL_MACHINE, (m_strRoot + kCurrentVersion + "\\" + key).c_str(), &handle);
            RegCloseKey(handle);
        }
        RegCreateKeyA(HKEY_LOCAL_MACHINE, (m_strRoot + "\\M").c_str(), &m_hMachine);
        RegCreateKeyA(HKEY_LOCAL_MACHINE, (m_strRoot + "\\C").c_str(), &m_hClasses);
        RedirectRegistryRoot(HKEY_LOCAL_MACHINE, m_hMachine);
        RedirectRegistryRoot(HKEY_CLASSES_ROOT, m_hClasses);
        m_temp.WriteFile("Vantler Dest\\Tessel.exe", "MZ");
    }
    void TearDown() override
    {
        RedirectRegistryRoot(HKEY_LOCAL_MACHINE, nullptr);
        RedirectRegistryRoot(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(m_hMachine);
        RegCloseKey(m_hClasses);
        if (!m_strLocked.empty())
            Lock(m_strLocked, GENERIC_ALL);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_strRoot.c_str());
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\" VANTLER_CLSID);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, VANTLER_PROGID);
    }

    // {D} destination, {S} system directory, {C} the short path of the main program.
    std::string Expand(std::string text) const
    {
        char shortPath[MAX_PATH] = "";
        GetShortPathNameA((m_engine.m_strDestDir + "\\Tessel.exe").c_str(), shortPath, MAX_PATH);
        Replace(text, "{D}", m_engine.m_strDestDir);
        Replace(text, "{S}", m_strSys);
        Replace(text, "{C}", shortPath);
        return text;
    }
    std::string RealKey(const std::string& key) const
    {
        return key.compare(0, 5, "HKCR\\") == 0 ? m_strRoot + "\\C\\" + key.substr(5)
                                                 : m_strRoot + kCurrentVersion + "\\" + key;
    }

    // Writes "key|name=data": dword:xxxxxxxx as a REG_DWORD, anything else as REG_SZ.
    void Put(const std::string& line)
    {
        const size_t bar = line.find('|'), equals = line.find('=', bar);
        const std::string name = line.substr(bar + 1, equals - bar - 1), data = line.substr(equals + 1);
        const std::string key = RealKey(line.substr(0, bar));
        const char* pszName = name == "@" ? nullptr : name.c_str();
        const DWORD value = data.compare(0, 6, "dword:") == 0 ? std::stoul(data.substr(6), nullptr, 16) : 0;
        ASSERT_EQ(ERROR_SUCCESS, data.compare(0, 6, "dword:") == 0
                                     ? RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), pszName, REG_DWORD, &value, 4)
                                     : RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), pszName, REG_SZ, data.c_str(),
                                                       static_cast<DWORD>(data.size() + 1)));
    }

    // Gives everybody only the access named, and the right to change that again.
    void Lock(const std::string& key, DWORD access)
    {
        HKEY handle;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, RealKey(key).c_str(), 0, WRITE_DAC, &handle));
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = nullptr;
        AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        BYTE aclBuffer[256];
        PACL acl = reinterpret_cast<PACL>(aclBuffer);
        InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION);
        AddAccessAllowedAce(acl, ACL_REVISION, access | WRITE_DAC, everyone);
        SECURITY_DESCRIPTOR sd;
        InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
        SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
        EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &sd));
        FreeSid(everyone);
        RegCloseKey(handle);
        m_strLocked = key;
    }

    // The test key as regedit exports it.
    Lines Export() const
    {
        const std::string file = m_temp.Path("export.reg");
        std::string command = "regedit.exe /E \"" + file + "\" \"HKEY_LOCAL_MACHINE\\" + m_strRoot + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return {"regedit failed to start"};
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);

        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string text(bytes.size(), '\0');
        text.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(bytes.data()),
                                                            static_cast<int>(bytes.size() / 2), &text[0],
                                                            static_cast<int>(text.size()), nullptr, nullptr)));
        Lines lines;
        std::istringstream stream(text);
        std::string line, key;
        while (std::getline(stream, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.size() > 2 && line[0] == '[') {
                key = line.substr(1, line.size() - 2);
                Replace(key, "HKEY_LOCAL_MACHINE\\" + m_strRoot + kCurrentVersion + "\\", "");
                Replace(key, "HKEY_LOCAL_MACHINE\\" + m_strRoot + "\\C\\", "HKCR\\");
                lines.insert("[" + key + "]");
            } else if (!line.empty() && (line[0] == '@' || line[0] == '"')) {
                size_t pos = 0;
                const std::string name = line[0] == '@' ? std::string(1, line[pos++]) : Unquote(line, pos);
                ++pos;
                lines.insert(key + "|" + name + "=" + (line[pos] == '"' ? Unquote(line, pos) : line.substr(pos)));
            }
        }
        return lines;
    }

    // What changed between two exports in the keys that start with scope:
    // "+line" added, "-line" removed.
    static Lines Changes(const Lines& before, const Lines& after, const std::string& scope)
    {
        Lines changes;
        auto add = [&](const Lines& from, const Lines& to, char sign) {
            for (const std::string& line : from) {
                if (!to.count(line) && line.compare(line[0] == '[', scope.size(), scope) == 0)
                    changes.insert(sign + line);
            }
        };
        add(before, after, '-');
        add(after, before, '+');
        return changes;
    }

    std::string m_strRoot;
    HKEY m_hMachine = nullptr;
    HKEY m_hClasses = nullptr;
    std::string m_strLocked;
};

struct RegistryRow {
    const char* name;
    void (*arrange)(CSetupEngine& engine);  // may be none
    std::vector<std::string> before;        // values put in place first
    std::vector<std::string> shared;        // the shared files of the tree
    std::vector<std::string> old;           // the previous record's files ("!": not shared)
    const char* lockKey;                    // a key with a restricted DACL, or none
    DWORD lockAccess;
    BOOL result;
    DWORD error;
    const char* scope;  // only keys starting with it are compared
    Lines changes;
    const char* journal;
};

void PrintTo(const RegistryRow& row, std::ostream* os) { *os << row.name; }

class UpdateRegistryTest : public RegistrationTest, public ::testing::WithParamInterface<RegistryRow> {};

const char kAppKey[] = "App Paths\\Tessel.exe";

const RegistryRow kRegistryRows[] = {
    {"FreshInstall", nullptr, {}, {"{S}\\VantlerRt.dll"}, {}, nullptr, 0, TRUE, 0, "",
     {"+[App Paths\\Tessel.exe]", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe", "+App Paths\\Tessel.exe|Path={D}",
      "+[Uninstall\\Vantler]", "+Uninstall\\Vantler|DisplayName=Vantler",
      "+Uninstall\\Vantler|UninstallString={D}\\Uninst.exe", "+SharedDLLs|{S}\\VantlerRt.dll=dword:00000001",
      "+[HKCR\\Tessel.Document]", "+HKCR\\Tessel.Document|@=Vantler Resource", "+[HKCR\\Tessel.Document\\shell]",
      "+[HKCR\\Tessel.Document\\shell\\open]", "+[HKCR\\Tessel.Document\\shell\\open\\command]",
      "+HKCR\\Tessel.Document\\shell\\open\\command|@={C} \"%1\"", "+[HKCR\\.vtr]",
      "+HKCR\\.vtr|@=Tessel.Document", "+[HKCR\\.vtr\\ShellNew]", "+HKCR\\.vtr\\ShellNew|NullFile="},
     "app 0/1 (,) uninst 0/1 (,) doc 0/1 ext 0/1 counted: {S}\\VantlerRt.dll"},
    {"ExistingKeysWithBothValuesAreSaved", nullptr,
     {"App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "App Paths\\Tessel.exe|Path=C:\\Old",
      "Uninstall\\Vantler|DisplayName=Vantler 1", "Uninstall\\Vantler|UninstallString=C:\\Old\\Uninst.exe"},
     {}, {}, nullptr, 0, TRUE, 0, kAppKey,
     {"-App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe",
      "-App Paths\\Tessel.exe|Path=C:\\Old", "+App Paths\\Tessel.exe|Path={D}"},
     "app 1/1 (C:\\Old\\Tessel.exe,C:\\Old) uninst 1/1 (Vantler 1,C:\\Old\\Uninst.exe) doc 0/1 ext 0/1 counted:"},
    // The rollback will delete the key: its old default value is not kept.
    {"AppPathsWithoutPathIsNotSaved", nullptr, {"App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe"},
     {"{S}\\VantlerRt.dll"}, {}, nullptr, 0, TRUE, 0, kAppKey,
     {"-App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe",
      "+App Paths\\Tessel.exe|Path={D}"},
     "app 0/1 (C:\\Old\\Tessel.exe,) uninst 0/1 (,) doc 0/1 ext 0/1 counted: {S}\\VantlerRt.dll"},
    // 3 -> 4, none -> 1, a value longer than a count -> 127.
    {"SharedCounts", nullptr, {"SharedDLLs|{S}\\VantlerRt.dll=dword:00000003", "SharedDLLs|{D}\\Long.dll=12345678"},
     {"{S}\\VantlerRt.dll", "{D}\\New.dll", "{D}\\Long.dll"}, {}, nullptr, 0, TRUE, 0, "SharedDLLs",
     {"-SharedDLLs|{S}\\VantlerRt.dll=dword:00000003", "+SharedDLLs|{S}\\VantlerRt.dll=dword:00000004",
      "+SharedDLLs|{D}\\New.dll=dword:00000001", "-SharedDLLs|{D}\\Long.dll=12345678",
      "+SharedDLLs|{D}\\Long.dll=dword:0000007f"},
     "app 0/1 (,) uninst 0/1 (,) doc 0/1 ext 0/1 counted: {D}\\New.dll {D}\\Long.dll {S}\\VantlerRt.dll"},
    // The previous record counted VantlerRt.dll (other case): it stays at 3;
    // a counted file without a value is counted anew; a file the record
    // holds without the shared flag was not counted by it.
    {"ReinstallKeepsWhatTheRecordCounted", nullptr,
     {"SharedDLLs|{S}\\VantlerRt.dll=dword:00000003", "SharedDLLs|{D}\\Plain.dll=dword:00000002"},
     {"{S}\\VantlerRt.dll", "{D}\\New.dll", "{D}\\Plain.dll"},
     {"{S}\\VANTLERRT.DLL", "{D}\\new.DLL", "!{D}\\Plain.dll"}, nullptr, 0, TRUE, 0, "SharedDLLs",
     {"+SharedDLLs|{D}\\New.dll=dword:00000001", "-SharedDLLs|{D}\\Plain.dll=dword:00000002",
      "+SharedDLLs|{D}\\Plain.dll=dword:00000003"},
     "app 0/1 (,) uninst 0/1 (,) doc 0/1 ext 0/1 counted: {D}\\New.dll {D}\\Plain.dll"},
    {"RefusedCountFailsThePhase", nullptr, {}, {"{S}\\VantlerRt.dll"}, {}, "SharedDLLs", kReadOnly, FALSE,
     ERROR_ACCESS_DENIED, "",
     {"+[App Paths\\Tessel.exe]", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe", "+App Paths\\Tessel.exe|Path={D}",
      "+[Uninstall\\Vantler]", "+Uninstall\\Vantler|DisplayName=Vantler",
      "+Uninstall\\Vantler|UninstallString={D}\\Uninst.exe"},
     "app 0/1 (,) uninst 0/1 (,) doc 0/0 ext 0/0 counted:"},
    // Strings beyond the helpers' limits are left out, never cut: the
    // destination's values and the Uninstall key of a title too long.
    {"StringsBeyondTheLimitsAreLeftOut",
     [](CSetupEngine& e) {
         e.m_strDestDir = "C:\\" + std::string(247, 'd');
         e.m_strProductTitle = std::string(210, 't');
     },
     {}, {"{S}\\VantlerRt.dll"}, {}, nullptr, 0, TRUE, 0, "",
     {"+[App Paths\\Tessel.exe]", "+SharedDLLs|{S}\\VantlerRt.dll=dword:00000001", "+[HKCR\\Tessel.Document]",
      "+HKCR\\Tessel.Document|@=Vantler Resource", "+[HKCR\\.vtr]", "+HKCR\\.vtr|@=Tessel.Document",
      "+[HKCR\\.vtr\\ShellNew]", "+HKCR\\.vtr\\ShellNew|NullFile="},
     "app 0/1 (,) uninst 0/0 (,) doc 0/1 ext 0/1 counted: {S}\\VantlerRt.dll"},
    // A shared file's path is a value name, which the helpers take up to 255
    // characters: a longer one is a count not written.
    {"SharedPathBeyondTheLimitFailsThePhase", [](CSetupEngine& e) { e.m_strDestDir = "C:\\" + std::string(250, 'd'); },
     {}, {"{D}\\VantlerRt.dll"}, {}, nullptr, 0, FALSE, ERROR_FILENAME_EXCED_RANGE, "SharedDLLs", {},
     "app 0/1 (,) uninst 0/1 (,) doc 0/0 ext 0/0 counted:"},
    // An empty title would name the Uninstall key itself, which the rollback
    // would then delete with every product's entry.
    {"EmptyTitleLeavesTheUninstallKeyAlone", [](CSetupEngine& e) { e.m_strProductTitle.clear(); },
     {"Uninstall\\Other|DisplayName=Other"}, {}, {}, nullptr, 0, TRUE, 0, "Uninstall", {},
     "app 0/1 (,) uninst 0/0 (,) doc 0/1 ext 0/1 counted:"},
    {"ExistingFileTypeIsNoted", nullptr, {"HKCR\\Tessel.Document|@=Old Resource", "HKCR\\.vtr|@=Old.Document"}, {},
     {}, nullptr, 0, TRUE, 0, "HKCR\\.vtr",
     {"-HKCR\\.vtr|@=Old.Document", "+HKCR\\.vtr|@=Tessel.Document", "+[HKCR\\.vtr\\ShellNew]",
      "+HKCR\\.vtr\\ShellNew|NullFile="},
     "app 0/1 (,) uninst 0/1 (,) doc 1/1 ext 1/1 counted:"},
    // A key that takes values but refuses all access: the values written are
    // journaled all the same, so that the rollback puts the old ones back.
    {"ValuesWrittenWithoutFullAccessAreJournaled", nullptr,
     {"App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "App Paths\\Tessel.exe|Path=C:\\Old"}, {}, {}, kAppKey,
     kValuesOnly, TRUE, 0, kAppKey,
     {"-App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe",
      "-App Paths\\Tessel.exe|Path=C:\\Old", "+App Paths\\Tessel.exe|Path={D}"},
     "app 1/1 (C:\\Old\\Tessel.exe,C:\\Old) uninst 0/1 (,) doc 0/1 ext 0/1 counted:"},
};

}  // namespace

TEST_P(UpdateRegistryTest, ChangesTheRegistryAsJournaled)
{
    const RegistryRow& row = GetParam();
    if (row.arrange)
        row.arrange(m_engine);
    for (const std::string& line : row.before)
        Put(Expand(line));
    for (const std::string& path : row.shared) {
        const std::string full = Expand(path);
        m_engine.AddFile(full.compare(0, m_strSys.size(), m_strSys) == 0 ? *m_pSys : *m_pApp, full, 0, FILE_SHARED);
    }
    if (!row.old.empty()) {
        CSetupEngine* old = m_engine.m_pOldRecord = new CSetupEngine;
        InstallNode* app = old->AddDirectory(old->GetRoot(), ROOT_APPLICATION_NAME);
        for (const std::string& path : row.old) {
            const bool shared = path[0] != '!';
            old->AddFile(*app, Expand(path.substr(shared ? 0 : 1)), 0, shared ? DWORD{FILE_SHARED} : 0);
        }
    }
    if (row.lockKey)
        Lock(row.lockKey, row.lockAccess);
    const Lines before = Export();

    SetLastError(0);
    EXPECT_EQ(row.result, m_engine.UpdateRegistry());
    if (!row.result) {
        EXPECT_EQ(row.error, GetLastError());
    }

    Lines expected;
    for (const std::string& line : row.changes)
        expected.insert(Expand(line));
    EXPECT_EQ(expected, Changes(before, Export(), row.scope));
    EXPECT_EQ(Expand(row.journal), JournalText(m_engine.m_journal));
}

// The premise of the open command's form: the destination has a blank, the
// short path that the command starts with has none.
TEST_F(RegistrationTest, OpenCommandNeedsNoQuotesAroundTheProgram)
{
    EXPECT_NE(std::string::npos, Expand("{D}").find(' '));
    EXPECT_EQ(std::string::npos, Expand("{C}").find(' '));
}

INSTANTIATE_TEST_SUITE_P(Rows, UpdateRegistryTest, ::testing::ValuesIn(kRegistryRows),
                         [](const ::testing::TestParamInfo<RegistryRow>& info) { return info.param.name; });

namespace {

std::vector<std::string> g_reports;

int RecordReport(int code, INT_PTR param1, INT_PTR param2)
{
    g_reports.push_back(std::to_string(code) + " " + std::to_string(param1) + " " + std::to_string(param2));
    return 1;
}

// Windows path of a file the build placed on the host.
std::string HostPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

struct SelfRegRow {
    const char* name;
    std::vector<std::pair<std::string, DWORD>> files;  // in the destination, in tree order, with their flags
    BOOL result;
    DWORD error;
    size_t reports;
    bool registered;  // the OCX's class keys are there afterwards
};

void PrintTo(const SelfRegRow& row, std::ostream* os) { *os << row.name; }

class RegisterDllsTest : public RegistrationTest, public ::testing::WithParamInterface<SelfRegRow> {};

const DWORD kSelfRegClass = static_cast<DWORD>(SELFREG_E_CLASS);

const SelfRegRow kSelfRegRows[] = {
    {"RegistersTheOcx", {{"Tessel.exe", 0}, {"Vantler.ocx", FILE_SELFREG}}, TRUE, 0, 0, true},
    {"RunsInsideAnOleSession", {{"selfreg_ole.dll", FILE_SELFREG}, {"Vantler.ocx", FILE_SELFREG}}, TRUE, 0, 0,
     true},
    {"AbsentFlagSkipsAFilePresent", {{"Vantler.ocx", FILE_SELFREG_ABSENT}}, TRUE, 0, 0, false},
    {"MissingExportStopsThePass", {{"VantlerRt.dll", FILE_SELFREG}, {"Vantler.ocx", FILE_SELFREG}}, FALSE,
     ERROR_PROC_NOT_FOUND, 1, false},
    {"FailingRegistrationStopsThePass", {{"selfreg_fail.dll", FILE_SELFREG}, {"Vantler.ocx", FILE_SELFREG}}, FALSE,
     kSelfRegClass, 1, false},
    {"AbsentFileMarkedAbsentFailsToLoad", {{"Missing.ocx", FILE_SELFREG_ABSENT}}, FALSE, ERROR_MOD_NOT_FOUND, 1,
     false},
    {"ProbeErrorEndsWithoutReport", {{"Gone\\Tessel.exe", 0}, {"Vantler.ocx", FILE_SELFREG}}, FALSE,
     ERROR_PATH_NOT_FOUND, 0, false},
};

}  // namespace

TEST_P(RegisterDllsTest, RegistersMarkedFilesUntilTheFirstFailure)
{
    const SelfRegRow& row = GetParam();
    const std::map<std::string, std::string> sources = {
        {"Vantler.ocx", StagePath("bin/Vantler.ocx")},
        {"VantlerRt.dll", StagePath("bin/VantlerRt.dll")},
        {"selfreg_ole.dll", HostPath(SELFREG_STUB_DIR "/selfreg_ole.dll")},
        {"selfreg_fail.dll", HostPath(SELFREG_STUB_DIR "/selfreg_fail.dll")},
    };
    for (const auto& [name, flags] : row.files) {
        const std::string path = AddFile(m_pApp, m_strDest, name, flags)->m_strName;
        if (sources.count(name)) {
            ASSERT_TRUE(CopyFileA(sources.at(name).c_str(), path.c_str(), FALSE)) << path;
        }
    }
    g_reports.clear();
    m_engine.m_pfnCallback = RecordReport;

    SetLastError(0);
    EXPECT_EQ(row.result, m_engine.RegisterDlls());
    if (!row.result) {
        EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_EQ(std::vector<std::string>(row.reports, "0 8 0"), g_reports);
    // Every OLE initialisation was undone: the thread is outside a session again.
    EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    CoUninitialize();
    HKEY key;
    const bool registered = RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\" VANTLER_CLSID, 0, KEY_READ, &key) == 0;
    if (registered)
        RegCloseKey(key);
    EXPECT_EQ(row.registered, registered);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegisterDllsTest, ::testing::ValuesIn(kSelfRegRows),
                         [](const ::testing::TestParamInfo<SelfRegRow>& info) { return info.param.name; });

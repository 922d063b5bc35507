// System registration on the real registry, redirected below a test key, and
// checked through regedit exports of that key before and after the run, not
// through the helpers under test. Self-registration uses the sample OCX,
// which writes the real HKEY_CLASSES_ROOT; its keys are removed again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sstream>

#include <olectl.h>

#include "samples/vantler/src/vantler_ocx.h"
#include "tests/engine/engine_fixture.h"
#include "tests/samples/sample_paths.h"

namespace {

const DWORD kReadOnly = KEY_READ;
const DWORD kValuesOnly = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

void Replace(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
}

// "was TEXT" (strings as text, held in UTF-16; other types by their type and
// first four bytes), "new" (there was none) or "unread"; "not written" when
// the run left it alone.
std::string ValueText(const SavedValue& v)
{
    std::string text = v.strName.empty() ? "@" : v.strName;
    const std::string& data = v.previous.data;
    if (v.lBefore == ERROR_FILE_NOT_FOUND) {
        text += " new";
    } else if (v.lBefore != ERROR_SUCCESS) {
        text += " unread";
    } else if (v.previous.dwType == REG_SZ) {
        const std::wstring wide(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
        text += " was " + std::string(wide.begin(), std::find(wide.begin(), wide.end(), L'\0'));
    } else {
        DWORD dwCount = 0;
        std::memcpy(&dwCount, data.data(), std::min(data.size(), sizeof dwCount));
        char count[32];
        std::snprintf(count, sizeof count, " was type %lu dword:%08lx", v.previous.dwType, dwCount);
        text += count;
    }
    return v.bWritten ? text : text + " (not written)";
}

std::string KeyText(const char* label, const SavedKey& k)
{
    std::string text = std::string(label) + (k.bCreated ? " created: " : ": ") + ValueText(k.first) + ", " +
                       ValueText(k.second);
    for (const SavedValue& v : k.others)
        text += ", " + ValueText(v);
    return text;
}

std::string JournalText(const InstallJournal& j)
{
    std::ostringstream text;
    text << KeyText("app", j.m_appPath) << "; " << KeyText("uninst", j.m_uninstKey) << "; doc " << j.m_bDocTypeExisted
         << "/" << j.m_bDocTypeWritten << " ext " << j.m_bExtExisted << "/" << j.m_bExtWritten << "; counted:";
    for (POSITION pos = j.m_lstCountedDlls.GetHeadPosition(); pos;)
        text << " " << j.m_lstCountedDlls.GetNext(pos)->m_strName;
    text << "; replaced:";
    for (const SavedValue& v : j.m_lstReplacedCounts)
        text << " " << ValueText(v);
    return text.str();
}

// The tree in code with the main program in the destination, the registry
// in the sandbox (export lines as engine_support.h names them).
class RegistrationTest : public EngineFixture {
protected:
    void SetUp() override
    {
        DescribeInCode();
        Write(Dest("Tessel.exe"), "MZ");
    }

    // {D} destination ({DU} in capitals), {S} system directory, {C} the short
    // path of the main program.
    std::string Expand(std::string text) const
    {
        std::string upper = m_engine.m_strDestDir;
        CharUpperA(&upper[0]);
        Replace(text, "{DU}", upper);
        Replace(text, "{D}", m_engine.m_strDestDir);
        Replace(text, "{S}", m_strSys);
        Replace(text, "{C}", ShortPath(m_engine.m_strDestDir + "\\Tessel.exe"));
        return text;
    }
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
    RegLines changes;
    std::string journal;
    const char* recordDir = nullptr;  // where the previous record was found; none: the destination
};

void PrintTo(const RegistryRow& row, std::ostream* os) { *os << row.name; }

class UpdateRegistryTest : public RegistrationTest, public ::testing::WithParamInterface<RegistryRow> {};

const char kAppKey[] = "App Paths\\Tessel.exe";

// The values of the Apps list that a fresh Uninstall key gets besides its
// first two, and how the journal notes them (without the main program's
// DisplayVersion: the tree in code gives it no version).
#define APPS_VALUES                                                                                              \
    "+Uninstall\\Vantler|InstallLocation={D}", "+Uninstall\\Vantler|DisplayIcon={D}\\Tessel.exe",              \
        "+Uninstall\\Vantler|QuietUninstallString=\"{D}\\Uninst.exe\" /S",                                      \
        "+Uninstall\\Vantler|EstimatedSize=dword:00000000", "+Uninstall\\Vantler|NoModify=dword:00000001",       \
        "+Uninstall\\Vantler|NoRepair=dword:00000001"
const char kFreshApps[] =
    ", InstallLocation new, DisplayIcon new, QuietUninstallString new, EstimatedSize new, NoModify new, NoRepair new";
const std::string kFreshKeys =
    std::string("app created: @ new, Path new; uninst created: DisplayName new, UninstallString new") + kFreshApps;
const std::string kLongName(600, 'n');

const RegistryRow kRegistryRows[] = {
    // The destination has a blank, the short form of the program none: only
    // the uninstaller is quoted.
    {"FreshInstall", nullptr, {}, {"{S}\\VantlerRt.dll"}, {}, nullptr, 0, TRUE, 0, "",
     {"+[App Paths\\Tessel.exe]", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe", "+App Paths\\Tessel.exe|Path={D}",
      "+[Uninstall\\Vantler]", "+Uninstall\\Vantler|DisplayName=Vantler",
      "+Uninstall\\Vantler|UninstallString=\"{D}\\Uninst.exe\"", APPS_VALUES,
      "+SharedDLLs|{S}\\VantlerRt.dll=dword:00000001",
      "+[HKCR\\Tessel.Document]", "+HKCR\\Tessel.Document|@=Vantler Resource", "+[HKCR\\Tessel.Document\\shell]",
      "+[HKCR\\Tessel.Document\\shell\\open]", "+[HKCR\\Tessel.Document\\shell\\open\\command]",
      "+HKCR\\Tessel.Document\\shell\\open\\command|@={C} \"%1\"", "+[HKCR\\.vtr]",
      "+HKCR\\.vtr|@=Tessel.Document", "+[HKCR\\.vtr\\ShellNew]", "+HKCR\\.vtr\\ShellNew|NullFile="},
     kFreshKeys + "; doc 0/1 ext 0/1; counted: {S}\\VantlerRt.dll; replaced:"},
    // Without a blank nothing is quoted; with one and no short form (the
    // program is not there), the program of the open command is.
    {"DestinationWithoutBlank", [](CSetupEngine& e) { e.m_strDestDir = "C:\\VantlerPlain"; }, {}, {}, {}, nullptr, 0,
     TRUE, 0, "",
     {"+[App Paths\\Tessel.exe]", "+App Paths\\Tessel.exe|@=C:\\VantlerPlain\\Tessel.exe",
      "+App Paths\\Tessel.exe|Path=C:\\VantlerPlain", "+[Uninstall\\Vantler]",
      "+Uninstall\\Vantler|DisplayName=Vantler",
      "+Uninstall\\Vantler|UninstallString=C:\\VantlerPlain\\Uninst.exe", APPS_VALUES, "+[HKCR\\Tessel.Document]",
      "+HKCR\\Tessel.Document|@=Vantler Resource", "+[HKCR\\Tessel.Document\\shell]",
      "+[HKCR\\Tessel.Document\\shell\\open]", "+[HKCR\\Tessel.Document\\shell\\open\\command]",
      "+HKCR\\Tessel.Document\\shell\\open\\command|@=C:\\VantlerPlain\\Tessel.exe \"%1\"", "+[HKCR\\.vtr]",
      "+HKCR\\.vtr|@=Tessel.Document", "+[HKCR\\.vtr\\ShellNew]", "+HKCR\\.vtr\\ShellNew|NullFile="},
     kFreshKeys + "; doc 0/1 ext 0/1; counted:; replaced:"},
    {"BlankWithoutShortForm", [](CSetupEngine& e) { e.m_strDestDir = "C:\\Vantler Gone"; }, {}, {}, {}, nullptr, 0,
     TRUE, 0, "",
     {"+[App Paths\\Tessel.exe]", "+App Paths\\Tessel.exe|@=C:\\Vantler Gone\\Tessel.exe",
      "+App Paths\\Tessel.exe|Path=C:\\Vantler Gone", "+[Uninstall\\Vantler]",
      "+Uninstall\\Vantler|DisplayName=Vantler",
      "+Uninstall\\Vantler|UninstallString=\"C:\\Vantler Gone\\Uninst.exe\"", APPS_VALUES,
      "+[HKCR\\Tessel.Document]",
      "+HKCR\\Tessel.Document|@=Vantler Resource", "+[HKCR\\Tessel.Document\\shell]",
      "+[HKCR\\Tessel.Document\\shell\\open]", "+[HKCR\\Tessel.Document\\shell\\open\\command]",
      "+HKCR\\Tessel.Document\\shell\\open\\command|@=\"C:\\Vantler Gone\\Tessel.exe\" \"%1\"", "+[HKCR\\.vtr]",
      "+HKCR\\.vtr|@=Tessel.Document", "+[HKCR\\.vtr\\ShellNew]", "+HKCR\\.vtr\\ShellNew|NullFile="},
     kFreshKeys + "; doc 0/1 ext 0/1; counted:; replaced:"},
    {"ExistingKeysWithBothValuesAreSaved", nullptr,
     {"App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "App Paths\\Tessel.exe|Path=C:\\Old",
      "Uninstall\\Vantler|DisplayName=Vantler 1", "Uninstall\\Vantler|UninstallString=C:\\Old\\Uninst.exe"},
     {}, {}, nullptr, 0, TRUE, 0, kAppKey,
     {"-App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe",
      "-App Paths\\Tessel.exe|Path=C:\\Old", "+App Paths\\Tessel.exe|Path={D}"},
     "app: @ was C:\\Old\\Tessel.exe, Path was C:\\Old; uninst: DisplayName was Vantler 1, UninstallString was "
     "C:\\Old\\Uninst.exe" + std::string(kFreshApps) + "; doc 0/1 ext 0/1; counted:; replaced:"},
    // A key that was there is kept, whatever it held: the value it lacked is
    // new, one too long for a string read is saved whole.
    {"AppPathsWithoutPath", nullptr, {"App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe"}, {"{S}\\VantlerRt.dll"}, {},
     nullptr, 0, TRUE, 0, kAppKey,
     {"-App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe",
      "+App Paths\\Tessel.exe|Path={D}"},
     "app: @ was C:\\Old\\Tessel.exe, Path new; uninst created: DisplayName new, UninstallString new" +
         std::string(kFreshApps) + "; doc 0/1 ext 0/1; counted: {S}\\VantlerRt.dll; replaced:"},
    {"UninstallKeyWithA600ByteValue", nullptr, {"Uninstall\\Vantler|DisplayName=" + kLongName}, {}, {}, nullptr, 0,
     TRUE, 0, "Uninstall",
     {"-Uninstall\\Vantler|DisplayName=" + kLongName, "+Uninstall\\Vantler|DisplayName=Vantler",
      "+Uninstall\\Vantler|UninstallString=\"{D}\\Uninst.exe\"", APPS_VALUES},
     "app created: @ new, Path new; uninst: DisplayName was " + kLongName + ", UninstallString new" + kFreshApps +
         "; doc 0/1 ext 0/1; counted:; replaced:"},
    // An earlier version's entry: every value of the Apps list that it had is
    // replaced and noted, DisplayVersion from the main program's record.
    {"AppsValuesOfAnEarlierVersion",
     [](CSetupEngine& e) {
         CInstalledFile* pMain = e.AddFile(FirstLevel(e, ROOT_APPLICATION), e.m_strDestDir + "\\TESSEL.EXE", 1536, 0);
         WriteLE32(pMain->m_VersionInfo, VERSION_RECORD_SIGNATURE);
         WriteLE32(pMain->m_VersionInfo + 4 * VERSION_DW_PRODUCT_MS, 0x00020001);
         WriteLE32(pMain->m_VersionInfo + 4 * VERSION_DW_PRODUCT_LS, 0x00000024);
         e.m_dwAppBytes = 1536;
         e.m_dwSysBytes = 100;
     },
     {"Uninstall\\Vantler|DisplayName=Vantler", "Uninstall\\Vantler|DisplayVersion=2.0.0.1",
      "Uninstall\\Vantler|NoModify=dword:00000000"},
     {}, {}, nullptr, 0, TRUE, 0, "Uninstall",
     {"+Uninstall\\Vantler|UninstallString=\"{D}\\Uninst.exe\"", "-Uninstall\\Vantler|DisplayVersion=2.0.0.1",
      "+Uninstall\\Vantler|DisplayVersion=2.1.0.36", "+Uninstall\\Vantler|InstallLocation={D}",
      "+Uninstall\\Vantler|DisplayIcon={D}\\Tessel.exe", "+Uninstall\\Vantler|QuietUninstallString=\"{D}\\Uninst.exe\" /S",
      "+Uninstall\\Vantler|EstimatedSize=dword:00000002", "-Uninstall\\Vantler|NoModify=dword:00000000",
      "+Uninstall\\Vantler|NoModify=dword:00000001", "+Uninstall\\Vantler|NoRepair=dword:00000001"},
     "app created: @ new, Path new; uninst: DisplayName was Vantler, UninstallString new, DisplayVersion was "
     "2.0.0.1, InstallLocation new, DisplayIcon new, QuietUninstallString new, EstimatedSize new, NoModify was type "
     "4 dword:00000000, NoRepair new; doc 0/1 ext 0/1; counted:; replaced:"},
    // 3 -> 4, none -> 1; a value that is no count (a longer string, the
    // string 127) -> 127, its old value kept; a count at its limit stays.
    {"SharedCounts", nullptr,
     {"SharedDLLs|{S}\\VantlerRt.dll=dword:00000003", "SharedDLLs|{D}\\Long.dll=12345678",
      "SharedDLLs|{D}\\Text.dll=127", "SharedDLLs|{D}\\Full.dll=dword:ffffffff"},
     {"{S}\\VantlerRt.dll", "{D}\\New.dll", "{D}\\Long.dll", "{D}\\Text.dll", "{D}\\Full.dll"}, {}, nullptr, 0, TRUE,
     0, "SharedDLLs",
     {"-SharedDLLs|{S}\\VantlerRt.dll=dword:00000003", "+SharedDLLs|{S}\\VantlerRt.dll=dword:00000004",
      "+SharedDLLs|{D}\\New.dll=dword:00000001", "-SharedDLLs|{D}\\Long.dll=12345678",
      "+SharedDLLs|{D}\\Long.dll=dword:0000007f", "-SharedDLLs|{D}\\Text.dll=127",
      "+SharedDLLs|{D}\\Text.dll=dword:0000007f"},
     kFreshKeys +
         "; doc 0/1 ext 0/1; counted: {D}\\New.dll {S}\\VantlerRt.dll; replaced: {D}\\Long.dll was 12345678 "
         "{D}\\Text.dll was 127"},
    // The previous record counted VantlerRt.dll (other case): it stays at 3;
    // a counted file without a value is counted anew; a file the record
    // holds without the shared flag was not counted by it.
    {"ReinstallKeepsWhatTheRecordCounted", nullptr,
     {"SharedDLLs|{S}\\VantlerRt.dll=dword:00000003", "SharedDLLs|{D}\\Plain.dll=dword:00000002"},
     {"{S}\\VantlerRt.dll", "{D}\\New.dll", "{D}\\Plain.dll"},
     {"{S}\\VANTLERRT.DLL", "{D}\\new.DLL", "!{D}\\Plain.dll"}, nullptr, 0, TRUE, 0, "SharedDLLs",
     {"+SharedDLLs|{D}\\New.dll=dword:00000001", "-SharedDLLs|{D}\\Plain.dll=dword:00000002",
      "+SharedDLLs|{D}\\Plain.dll=dword:00000003"},
     kFreshKeys + "; doc 0/1 ext 0/1; counted: {D}\\New.dll {D}\\Plain.dll; replaced:"},
    // A record counts for its own directory, compared as the file system
    // compares names; one found in a directory the user left again counts
    // nothing here.
    {"RecordOfTheDestinationInCapitals", nullptr, {"SharedDLLs|{S}\\VantlerRt.dll=dword:00000003"},
     {"{S}\\VantlerRt.dll"}, {"{S}\\VantlerRt.dll"}, nullptr, 0, TRUE, 0, "SharedDLLs", {},
     kFreshKeys + "; doc 0/1 ext 0/1; counted:; replaced:", "{DU}"},
    {"RecordOfAnotherDirectoryIsNotUsed", nullptr, {"SharedDLLs|{S}\\VantlerRt.dll=dword:00000003"},
     {"{S}\\VantlerRt.dll"}, {"{S}\\VantlerRt.dll"}, nullptr, 0, TRUE, 0, "SharedDLLs",
     {"-SharedDLLs|{S}\\VantlerRt.dll=dword:00000003", "+SharedDLLs|{S}\\VantlerRt.dll=dword:00000004"},
     kFreshKeys + "; doc 0/1 ext 0/1; counted: {S}\\VantlerRt.dll; replaced:", "C:\\Elsewhere"},
    {"RefusedCountFailsThePhase", nullptr, {}, {"{S}\\VantlerRt.dll"}, {}, "SharedDLLs", kReadOnly, FALSE,
     ERROR_ACCESS_DENIED, "",
     {"+[App Paths\\Tessel.exe]", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe", "+App Paths\\Tessel.exe|Path={D}",
      "+[Uninstall\\Vantler]", "+Uninstall\\Vantler|DisplayName=Vantler",
      "+Uninstall\\Vantler|UninstallString=\"{D}\\Uninst.exe\"", APPS_VALUES},
     kFreshKeys + "; doc 0/0 ext 0/0; counted:; replaced:"},
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
     "app created: @ new (not written), Path new (not written); uninst: DisplayName unread (not written), "
     "UninstallString unread (not written); doc 0/1 ext 0/1; counted: {S}\\VantlerRt.dll; replaced:"},
    // A shared file's path is a value name, which the helpers take up to 255
    // characters: a longer one is a count not written.
    {"SharedPathBeyondTheLimitFailsThePhase", [](CSetupEngine& e) { e.m_strDestDir = "C:\\" + std::string(250, 'd'); },
     {}, {"{D}\\VantlerRt.dll"}, {}, nullptr, 0, FALSE, ERROR_FILENAME_EXCED_RANGE, "SharedDLLs", {},
     "app created: @ new (not written), Path new (not written); uninst created: DisplayName new, UninstallString "
     "new (not written), InstallLocation new, DisplayIcon new (not written), QuietUninstallString new (not "
     "written), EstimatedSize new, NoModify new, NoRepair new; doc 0/0 ext 0/0; counted:; replaced:"},
    // An empty title would name the Uninstall key itself, which the rollback
    // would then delete with every product's entry.
    {"EmptyTitleLeavesTheUninstallKeyAlone", [](CSetupEngine& e) { e.m_strProductTitle.clear(); },
     {"Uninstall\\Other|DisplayName=Other"}, {}, {}, nullptr, 0, TRUE, 0, "Uninstall", {},
     "app created: @ new, Path new; uninst: @ new (not written), @ new (not written); doc 0/1 ext 0/1; counted:; "
     "replaced:"},
    {"ExistingFileTypeIsNoted", nullptr, {"HKCR\\Tessel.Document|@=Old Resource", "HKCR\\.vtr|@=Old.Document"}, {},
     {}, nullptr, 0, TRUE, 0, "HKCR\\.vtr",
     {"-HKCR\\.vtr|@=Old.Document", "+HKCR\\.vtr|@=Tessel.Document", "+[HKCR\\.vtr\\ShellNew]",
      "+HKCR\\.vtr\\ShellNew|NullFile="},
     kFreshKeys + "; doc 1/1 ext 1/1; counted:; replaced:"},
    // A key that takes values but refuses all access: the values written are
    // journaled all the same, so that the rollback puts the old ones back.
    {"ValuesWrittenWithoutFullAccessAreJournaled", nullptr,
     {"App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "App Paths\\Tessel.exe|Path=C:\\Old"}, {}, {}, kAppKey,
     kValuesOnly, TRUE, 0, kAppKey,
     {"-App Paths\\Tessel.exe|@=C:\\Old\\Tessel.exe", "+App Paths\\Tessel.exe|@={D}\\Tessel.exe",
      "-App Paths\\Tessel.exe|Path=C:\\Old", "+App Paths\\Tessel.exe|Path={D}"},
     "app: @ was C:\\Old\\Tessel.exe, Path was C:\\Old; uninst created: DisplayName new, UninstallString new" +
         std::string(kFreshApps) + "; doc 0/1 ext 0/1; counted:; replaced:"},
};

}  // namespace

TEST_P(UpdateRegistryTest, ChangesTheRegistryAsJournaled)
{
    const RegistryRow& row = GetParam();
    if (row.arrange)
        row.arrange(m_engine);
    for (const std::string& line : row.before)
        ASSERT_EQ(ERROR_SUCCESS, m_registry.Put(Expand(line))) << line;
    for (const std::string& path : row.shared) {
        const std::string full = Expand(path);
        m_engine.AddFile(full.compare(0, m_strSys.size(), m_strSys) == 0 ? *m_pSys : *m_pApp, full, 0, FILE_SHARED);
    }
    if (!row.old.empty()) {
        CSetupEngine* old = m_engine.m_pOldRecord = new CSetupEngine;
        m_engine.m_strOldRecordDir = row.recordDir ? Expand(row.recordDir) : m_engine.m_strDestDir;
        DescribeVantler(*old);
        for (const std::string& path : row.old) {
            const bool shared = path[0] != '!';
            old->AddFile(FirstLevel(*old, ROOT_APPLICATION), Expand(path.substr(shared ? 0 : 1)), 0,
                         shared ? DWORD{FILE_SHARED} : 0);
        }
    }
    if (row.lockKey) {
        ASSERT_TRUE(m_registry.Lock(row.lockKey, row.lockAccess));
    }
    const RegLines before = m_registry.Export();

    SetLastError(0);
    EXPECT_EQ(row.result, m_engine.UpdateRegistry());
    if (!row.result) {
        EXPECT_EQ(row.error, GetLastError());
    }

    RegLines expected;
    for (const std::string& line : row.changes)
        expected.insert(Expand(line));
    EXPECT_EQ(expected, RegistrySandbox::Changes(before, m_registry.Export(), row.scope));
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

struct SelfRegRow {
    const char* name;
    std::vector<std::pair<std::string, DWORD>> files;  // in the destination, in tree order, with their flags
    BOOL result;
    DWORD error;
    size_t reports;
    bool registered;  // the OCX's class keys are there afterwards
};

void PrintTo(const SelfRegRow& row, std::ostream* os) { *os << row.name; }

// The sample control registers itself in the real HKEY_CLASSES_ROOT; its keys go again.
class RegisterDllsTest : public RegistrationTest, public ::testing::WithParamInterface<SelfRegRow> {
protected:
    void TearDown() override
    {
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\" VANTLER_CLSID);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, VANTLER_PROGID);
    }
};

const DWORD kSelfRegClass = static_cast<DWORD>(SELFREG_E_CLASS);

const SelfRegRow kSelfRegRows[] = {
    {"RegistersTheOcx", {{"Tessel.exe", 0}, {"Vantler.ocx", FILE_SELFREG}}, TRUE, 0, 0, true},
    {"RunsInsideAnOleSession", {{"selfreg_ole.dll", FILE_SELFREG}, {"Vantler.ocx", FILE_SELFREG}}, TRUE, 0, 0,
     true},
    // Its helper library lies beside it, where only the control's own
    // directory leads.
    {"ControlFindsItsLibraryBesideIt", {{"selfreg_helper.dll", 0}, {"selfreg_beside.dll", FILE_SELFREG}}, TRUE, 0, 0,
     false},
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
        {"selfreg_ole.dll", TestFile("selfreg_ole.dll")},
        {"selfreg_fail.dll", TestFile("selfreg_fail.dll")},
        {"selfreg_beside.dll", TestFile("selfreg_beside.dll")},
        {"selfreg_helper.dll", TestFile("beside\\selfreg_helper.dll")},
    };
    for (const auto& [name, flags] : row.files) {
        const std::string path = m_engine.AddFile(*m_pApp, Dest(name), 0, flags)->m_strName;
        if (sources.count(name)) {
            ASSERT_TRUE(CopyFileA(sources.at(name).c_str(), path.c_str(), FALSE)) << path;
        }
    }

    SetLastError(0);
    EXPECT_EQ(row.result, m_engine.RegisterDlls());
    if (!row.result) {
        EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_EQ(Lines(row.reports, "error 8"), m_log);
    EXPECT_EQ(-1, m_nLastPercent);
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

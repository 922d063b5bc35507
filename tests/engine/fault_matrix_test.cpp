// The fault matrix: each row makes one phase of a real install of the sample
// product fail for real (a full disk, a file another program holds open, a
// refused registry key, the user quitting at a prompt, a damaged medium ...),
// mostly over a previous installation, then rolls back and holds the machine
// to the journal's promise:
//   - every file that was there before is still there, with its old contents
//     or (when this run replaced it) the new ones; every file this run added
//     is gone, Uninst.exe included unless it was there before, and so is
//     every directory this run made;
//   - the registry exports as before, every value of a key that was there
//     put back with its type and bytes, except what the rollback leaves by
//     design (an existing file type keeps what was written into it), which
//     the row checks and puts back;
//   - after the late phases (self-registration, the program group): the
//     group is there only if it was before, with the items it had; the
//     control is registered only from a file that is still there;
//   - no temporary file anywhere.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <set>

#include "engine/registry_entries.h"
#include "model/media_format.h"
#include "platform/disk.h"
#include "platform/progman.h"
#include "platform/registry.h"
#include "samples/vantler/src/vantler_ocx.h"
#include "tests/engine/engine_fixture.h"
#include "tests/samples/sample_paths.h"

namespace {

// The two media, packed once: the full product, and an older edition
// without the Delphi demos and the Tessel help, whose installation the
// full one goes over.
struct Media {
    TempDir temp;
    std::string full = temp.Path("full");
    std::string older = temp.Path("older");
    Media()
    {
        PackMedium(StagePath("floppy.json"), full);
        PackMedium(StagePath("floppy.json"), older, [](Manifest& m) {
            for (const ManifestDir& demo : m.application.dirs.back().dirs) {  // Delphi
                for (const ManifestFile& file : demo.files)
                    m.appBytes -= file.size;
            }
            m.application.dirs.pop_back();
            m.appBytes -= m.application.files.back().size;  // Tessel.hlp
            m.application.files.pop_back();
        });
    }
};

const Media& GetMedia()
{
    static Media media;
    return media;
}

enum Phase { COPY, REGISTRY, RECORD, NONE_FAILS };
enum Previous { FRESH, HERE, ELSEWHERE };
enum OnSmallDrive { NEITHER, DEST_SMALL, SYS_SMALL };
constexpr int NO_REPORT = -1;
constexpr int ANY_REPORT = -2;

class FaultMatrix;
typedef std::function<void(FaultMatrix&)> Step;

struct Fault {
    const char* name;
    Phase phase;        // the operation that fails
    Previous previous;  // the installation the run goes over
    OnSmallDrive small;
    Step setup;       // the machine before the run (in the snapshot)
    Step fault;       // after the snapshot: handles held, keys locked, disks filled, the user's answers
    Step beforeSave;  // between the registration and the saving of the record
    DWORD error;      // the last-error value of the failed operation; 0: not checked
    int report;       // SETUPCB_ERROR kind reported, NO_REPORT, ANY_REPORT (a report or a box)
    Step leftByDesign;  // checks what the rollback leaves, then puts it back
    const char* damaged = nullptr;  // the file a failure with SETUP_E_DAMAGED names
};

void PrintTo(const Fault& row, std::ostream* os) { *os << row.name; }

struct Snapshot {
    std::map<std::string, std::string> files;  // "dest\...", "sys\..." or "group\..." -> contents
    std::set<std::string> dirs;
    bool group = false;  // the program group's folder is there
    RegLines registry;
};

class FaultMatrix : public EngineFixture, public ::testing::WithParamInterface<Fault> {
public:
    // The small drive is empty again for the next row, whatever this one
    // did; the group and the control's registration go.
    void TearDown() override
    {
        DdeDeleteGroup(m_strGroup);
        CloseFolderWindows(0);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\" VANTLER_CLSID);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, VANTLER_PROGID);
        m_held.clear();
        if (m_strSmall.empty() || GetParam().small == NEITHER)
            return;
        DeleteFileA((m_strSmall + "\\filler").c_str());
        RemoveTree(GetParam().small == DEST_SMALL ? m_strDest : m_strSys);
    }

    void Hold(const std::string& path)
    {
        m_held.push_back(std::make_unique<HeldFile>(path));
        EXPECT_TRUE(m_held.back()->IsHeld()) << path;
    }
    void FillSmallDrive(ULONGLONG keep) { FillDrive(m_strSmall + "\\filler", keep); }

    // The older edition's complete install into dest.
    void InstallOlder(const std::string& dest)
    {
        InsertMedium(GetMedia().older);
        CSetupEngine older;
        ASSERT_TRUE(Load(older));
        older.SetDestDir(dest);
        older.CheckDestination(dest);
        ASSERT_TRUE(older.CopyFiles());
        ASSERT_TRUE(older.UpdateRegistry());
        older.SetInfoText(nullptr);
        ASSERT_TRUE(older.SaveInstallRecord());
        older.RunPostInstallHook();
    }

    std::string GroupFolder() const { return ProgramsFolder() + "\\" + m_strGroup; }

    Snapshot Take() const
    {
        Snapshot s;
        for (const auto& [label, dir] : {std::pair{"dest\\", m_strDest}, std::pair{"sys\\", m_strSys},
                                         std::pair{"group\\", GroupFolder()}}) {
            for (const std::string& entry : ListTree(dir)) {
                if (entry.back() == '\\')
                    s.dirs.insert(label + entry);
                else
                    s.files[label + entry] = Read(dir + "\\" + entry);
            }
        }
        s.group = ProbeDirectory(GroupFolder()) == ERROR_SUCCESS;
        s.registry = m_registry.Export();
        return s;
    }

    // The install sequence from the copy phase to the saved record; the
    // operation that failed, after the rollback.
    Phase RunInstall(DWORD& error)
    {
        Phase failed = NONE_FAILS;
        if (!m_engine.CopyFiles())
            failed = COPY;
        else if (!m_engine.UpdateRegistry())
            failed = REGISTRY;
        if (failed == NONE_FAILS) {
            // Their failures do not stop the install.
            m_engine.RegisterDlls();
            m_engine.CreateProgramFolder();
            if (GetParam().beforeSave)
                GetParam().beforeSave(*this);
            m_engine.SetInfoText(nullptr);
            if (!m_engine.SaveInstallRecord())
                failed = RECORD;
        }
        error = GetLastError();
        if (failed != NONE_FAILS)
            m_engine.Rollback();
        return failed;
    }

    std::string m_strSmall = SmallDrive();
    std::vector<std::unique_ptr<HeldFile>> m_held;
    const std::string m_strGroup = "Vantler Fault " + std::to_string(GetCurrentProcessId());
};

// The full edition's contents of an installed file, or "" when it has none.
std::string NewContents(const std::string& label)
{
    if (label == "sys\\VantlerRt.dll")
        return Read(StagePath("bin/VantlerRt.dll"));
    for (const auto& file : SampleDestinationFiles()) {
        if (label == "dest\\" + file.first)
            return Read(StagePath(file.second));
    }
    return std::string();
}

// The user quits at the first call for which quits holds.
Step QuitWhen(std::function<bool(int code, INT_PTR param1, INT_PTR param2)> quits)
{
    return [quits](FaultMatrix& t) { t.m_onCall = quits; };
}

Step QuitAtDisk(int disk)
{
    return QuitWhen([disk](int code, INT_PTR param1, INT_PTR) {
        return code == SETUPCB_INSERTDISK && (param1 & 0xFFFF) + 1 == disk;
    });
}

Step QuitAtStatus(const std::string& name)
{
    return QuitWhen([name](int code, INT_PTR param1, INT_PTR) {
        return code == SETUPCB_STATUSTEXT && *reinterpret_cast<const std::string*>(param1) == name;
    });
}

Step QuitAtPercent(int percent)
{
    return QuitWhen([percent](int code, INT_PTR param1, INT_PTR) {
        return code == SETUPCB_PROGRESS && param1 >= percent;
    });
}

// One byte of the medium damaged under its checksum: at offset of the
// payload of a volume (zero-based), or of the uninstaller (volume -1).
Step DamageByte(int volume, size_t offset)
{
    return [volume, offset](FaultMatrix& t) {
        if (volume < 0)
            FlipByte(t.m_strSource + "\\" + UNINSTALLER_SOURCE_NAME, offset);
        else
            FlipByte(volume == 0 ? t.m_strSource + "\\" + DATA_FILE_NAME : t.VolumePath(volume),
                     DATA_VOLUME_HEADER_SIZE + offset);
    };
}

// The first disk offered is disk 1 again; asked for disk 2 once more, the user quits.
void WrongDiskThenQuit(FaultMatrix& t)
{
    t.m_volumes = {0};
    t.m_answers[SETUPCB_INSERTDISK] = {1, 0};
}

void ReadOnly(const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }

void LockSharedDlls(FaultMatrix& t) { ASSERT_TRUE(t.m_registry.Lock("SharedDLLs")); }

void WriteForeignFileType(FaultMatrix&)
{
    SetRegString(HKEY_CLASSES_ROOT, ".vtr", "", "Vtr.File");
    SetRegString(HKEY_CLASSES_ROOT, "Tessel.Document", "", "Somebody's document");
}

// The foreign file type keeps what the run wrote into it; the rest goes back by hand.
void ForeignFileTypeWasOverwritten(FaultMatrix& t)
{
    std::string value;
    EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_CLASSES_ROOT, ".vtr", "", value));
    EXPECT_EQ("Tessel.Document", value);
    EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_CLASSES_ROOT, "Tessel.Document", "", value));
    EXPECT_EQ("Vantler Resource", value);
    EXPECT_EQ(ERROR_SUCCESS, RegKeyExists(HKEY_CLASSES_ROOT, ".vtr\\ShellNew"));
    DeleteRegKeyTree(HKEY_CLASSES_ROOT, ".vtr\\ShellNew");
    DeleteRegKeyTree(HKEY_CLASSES_ROOT, "Tessel.Document\\shell");
    WriteForeignFileType(t);
}

const std::string EXE_KEY = AppPathKey("Tessel.exe");
const char* const OPEN_COMMAND_KEY = "Tessel.Document\\shell\\open\\command";

// The group the user chose was there before, with an item of the user's.
void GroupOfTheUser(FaultMatrix& t)
{
    ProgramItem mine{"Mine", t.m_root.WriteFile("Mine.exe", "MZ")};
    const ProgramItem* items[] = {&mine};
    ASSERT_TRUE(DdeCreateProgramGroup(t.m_strGroup, items, 1));
    CloseFolderWindows(5000);
}

// The document type's open command for the product installed in dir.
std::string OpenCommand(const std::string& dir) { return ShortPath(dir + "\\Tessel.exe") + " \"%1\""; }

const Fault FAULTS[] = {
    // The copy phase.
    {"disk full in the destination", COPY, HERE, DEST_SMALL, nullptr, [](FaultMatrix& t) { t.FillSmallDrive(300000); },
     nullptr, 0, SETUPERR_DISKFULL, nullptr},
    {"disk full in the system directory", COPY, FRESH, SYS_SMALL, nullptr, [](FaultMatrix& t) { t.FillSmallDrive(0); },
     nullptr, 0, SETUPERR_DISKFULL, nullptr},
    {"form file held open by another program", COPY, HERE, NEITHER, nullptr,
     [](FaultMatrix& t) { t.Hold(t.Dest("VB\\Q7\\Form1.frm")); }, nullptr, 0, ANY_REPORT, nullptr},
    {"Uninst.exe held open", COPY, HERE, NEITHER, nullptr, [](FaultMatrix& t) { t.Hold(t.Dest("Uninst.exe")); },
     nullptr, 0, ANY_REPORT, nullptr},
    {"system file held open, no version resource", COPY, FRESH, NEITHER,
     [](FaultMatrix& t) { Write(t.Sys("VantlerRt.dll"), "not a library"); },
     [](FaultMatrix& t) { t.Hold(t.Sys("VantlerRt.dll")); }, nullptr, 0, ANY_REPORT, nullptr},
    {"quit at the disk prompt", COPY, HERE, NEITHER, nullptr, QuitAtDisk(2), nullptr, SETUP_E_CANCELLED, NO_REPORT,
     nullptr},
    {"quit at the disk prompt, fresh machine", COPY, FRESH, NEITHER, nullptr, QuitAtDisk(2), nullptr,
     SETUP_E_CANCELLED, NO_REPORT, nullptr},
    {"wrong disk offered, then quit", COPY, HERE, NEITHER, nullptr, WrongDiskThenQuit, nullptr, SETUP_E_CANCELLED,
     NO_REPORT, nullptr},
    {"quit while a file's name is shown", COPY, HERE, NEITHER, nullptr, QuitAtStatus("Q7.exe"), nullptr, 0, NO_REPORT,
     nullptr},
    {"quit while the uninstaller is copied", COPY, FRESH, NEITHER, nullptr, QuitAtStatus("Uninst.exe"), nullptr, 0,
     NO_REPORT, nullptr},
    {"quit from the progress display", COPY, HERE, NEITHER, nullptr, QuitAtPercent(60), nullptr, SETUP_E_CANCELLED,
     NO_REPORT, nullptr},
    {"read-only file, the user quits", COPY, HERE, NEITHER,
     [](FaultMatrix& t) { ReadOnly(t.Dest("VB\\Joust\\Joust.vbp")); },
     [](FaultMatrix& t) { t.m_answers[SETUPCB_READONLY] = {3}; }, nullptr, 0, NO_REPORT, nullptr},
    {"read-only file held open", COPY, HERE, NEITHER, [](FaultMatrix& t) { ReadOnly(t.Dest("VB\\Joust\\Joust.vbp")); },
     [](FaultMatrix& t) { t.Hold(t.Dest("VB\\Joust\\Joust.vbp")); }, nullptr, SETUP_E_FILESTATUS, ANY_REPORT, nullptr},
    {"a file where a directory must go", COPY, FRESH, NEITHER,
     [](FaultMatrix& t) { Place(t.Dest("Delphi"), "in the way"); }, nullptr, nullptr, 0, SETUPERR_CREATEDIR, nullptr},
    {"second disk ends early", COPY, HERE, NEITHER, nullptr,
     [](FaultMatrix& t) {
         const std::string whole = Read(t.VolumePath(1));
         Write(t.VolumePath(1), whole.substr(0, whole.size() / 2));
     },
     nullptr, 0, ANY_REPORT, nullptr},
    {"uninstaller missing from the first disk", COPY, HERE, NEITHER, nullptr,
     [](FaultMatrix& t) { DeleteFileA((t.m_strSource + "\\_Uninst.ex_").c_str()); }, nullptr, 0, ANY_REPORT, nullptr},
    {"a damaged byte in the first file", COPY, HERE, NEITHER, nullptr, DamageByte(0, 100), nullptr, SETUP_E_DAMAGED,
     NO_REPORT, nullptr, "Joust.vbp"},
    {"a damaged byte on disk 2 of a file across disks 1 and 2", COPY, HERE, NEITHER, nullptr, DamageByte(1, 100),
     nullptr, SETUP_E_DAMAGED, NO_REPORT, nullptr, "Tessel.hlp"},
    {"a damaged byte in the uninstaller", COPY, FRESH, NEITHER, nullptr, DamageByte(-1, 100), nullptr,
     SETUP_E_DAMAGED, NO_REPORT, nullptr, UNINSTALLER_SOURCE_NAME},
    {"destination under a file", COPY, FRESH, NEITHER,
     [](FaultMatrix& t) {
         Write(t.m_strDest, "a file named like the destination");
         t.m_strDest += "\\Vantler";
     },
     nullptr, nullptr, 0, SETUPERR_CREATEDIR, nullptr},

    // The registration: a SharedDLLs count that cannot be written.
    {"SharedDLLs refused, fresh machine", REGISTRY, FRESH, NEITHER, nullptr, LockSharedDlls, nullptr,
     ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, previous install elsewhere", REGISTRY, ELSEWHERE, NEITHER, nullptr, LockSharedDlls, nullptr,
     ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, the old record's count gone", REGISTRY, HERE, NEITHER,
     [](FaultMatrix& t) { DeleteRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, t.Sys("VantlerRt.dll")); },
     LockSharedDlls, nullptr, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, App Paths of another place", REGISTRY, FRESH, NEITHER,
     [](FaultMatrix&) {
         SetRegString(HKEY_LOCAL_MACHINE, EXE_KEY, "", "D:\\Old\\Tessel.exe");
         SetRegString(HKEY_LOCAL_MACHINE, EXE_KEY, "Path", "D:\\Old");
         SetRegString(HKEY_LOCAL_MACHINE, UninstallKey("Vantler"), "DisplayName", "Vantler 1.0");
         SetRegString(HKEY_LOCAL_MACHINE, UninstallKey("Vantler"), "UninstallString", "D:\\Old\\Uninst.exe");
         // Values of the Apps list that an earlier version left, which this run replaces.
         SetRegString(HKEY_LOCAL_MACHINE, UninstallKey("Vantler"), "DisplayVersion", "1.0.0.0");
         SetRegDword(HKEY_LOCAL_MACHINE, UninstallKey("Vantler"), "NoModify", 0);
     },
     LockSharedDlls, nullptr, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    // Keys that were there keep what they held: the value they lacked goes,
    // one too long for a string read comes back whole.
    {"SharedDLLs refused, App Paths without Path", REGISTRY, FRESH, NEITHER,
     [](FaultMatrix&) { SetRegString(HKEY_LOCAL_MACHINE, EXE_KEY, "", "D:\\Old\\Tessel.exe"); }, LockSharedDlls,
     nullptr, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, Uninstall key with a 600-byte name", REGISTRY, FRESH, NEITHER,
     [](FaultMatrix& t) {
         ASSERT_EQ(ERROR_SUCCESS, t.m_registry.Put("Uninstall\\Vantler|DisplayName=" + std::string(600, 'n')));
     },
     LockSharedDlls, nullptr, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs and App Paths refused", REGISTRY, ELSEWHERE, NEITHER, nullptr,
     [](FaultMatrix& t) {
         LockSharedDlls(t);
         ASSERT_TRUE(t.m_registry.Lock("App Paths\\Tessel.exe"));
         ASSERT_TRUE(t.m_registry.Lock("Uninstall\\Vantler"));
     },
     nullptr, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},

    // The saving of the record.
    {"Setup.inf held open", RECORD, HERE, NEITHER, nullptr, [](FaultMatrix& t) { t.Hold(t.Dest("Setup.inf")); },
     nullptr, 0, ANY_REPORT, nullptr},
    {"read-only Setup.inf held open", RECORD, HERE, NEITHER, [](FaultMatrix& t) { ReadOnly(t.Dest("Setup.inf")); },
     [](FaultMatrix& t) { t.Hold(t.Dest("Setup.inf")); }, nullptr, 0, ANY_REPORT, nullptr},
    {"disk full at the record", RECORD, HERE, DEST_SMALL, nullptr, nullptr,
     [](FaultMatrix& t) { t.FillSmallDrive(0); }, ERROR_DISK_FULL, SETUPERR_DISKFULL, nullptr},
    {"disk full at the record, counted elsewhere before", RECORD, ELSEWHERE, DEST_SMALL, nullptr, nullptr,
     [](FaultMatrix& t) { t.FillSmallDrive(0); }, ERROR_DISK_FULL, SETUPERR_DISKFULL,
     // The document type existed: its open command stays pointed at this run's program.
     [](FaultMatrix& t) {
         std::string command;
         EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_CLASSES_ROOT, OPEN_COMMAND_KEY, "", command));
         EXPECT_EQ(OpenCommand(t.m_strDest), command);
         SetRegString(HKEY_CLASSES_ROOT, OPEN_COMMAND_KEY, "", OpenCommand(t.m_root.Path("Elsewhere")));
     }},
    // The rollback lowers a count this run raised; one that another program
    // has set to 0 meanwhile goes instead of wrapping around.
    {"a directory named Setup.inf, the count zeroed meanwhile", RECORD, FRESH, NEITHER,
     [](FaultMatrix& t) { CreateDirectoryPath(t.Dest("Setup.inf")); }, nullptr,
     [](FaultMatrix& t) { SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, t.Sys("VantlerRt.dll"), 0); }, 0,
     ANY_REPORT, nullptr},
    // A value that held no count comes back as it was; a count at its limit
    // was never raised.
    {"a directory named Setup.inf, the count a string", RECORD, FRESH, NEITHER,
     [](FaultMatrix& t) {
         CreateDirectoryPath(t.Dest("Setup.inf"));
         ASSERT_EQ(ERROR_SUCCESS, t.m_registry.Put("SharedDLLs|" + t.Sys("VantlerRt.dll") + "=127"));
     },
     nullptr, nullptr, 0, ANY_REPORT, nullptr},
    {"a directory named Setup.inf, the count at its limit", RECORD, FRESH, NEITHER,
     [](FaultMatrix& t) {
         CreateDirectoryPath(t.Dest("Setup.inf"));
         ASSERT_EQ(ERROR_SUCCESS, t.m_registry.Put("SharedDLLs|" + t.Sys("VantlerRt.dll") + "=dword:ffffffff"));
     },
     nullptr, nullptr, 0, ANY_REPORT, nullptr},
    // The group this run added items to was there before: only this run's items go.
    {"a directory named Setup.inf, into an existing group", RECORD, FRESH, NEITHER,
     [](FaultMatrix& t) {
         CreateDirectoryPath(t.Dest("Setup.inf"));
         GroupOfTheUser(t);
     },
     nullptr, nullptr, 0, ANY_REPORT, nullptr},
    {"a directory named Setup.inf, foreign file type", RECORD, FRESH, NEITHER,
     [](FaultMatrix& t) {
         CreateDirectoryPath(t.Dest("Setup.inf"));
         WriteForeignFileType(t);
     },
     nullptr, nullptr, 0, ANY_REPORT, ForeignFileTypeWasOverwritten},
};

}  // namespace

TEST_P(FaultMatrix, RollsBackToTheJournalsPromise)
{
    const Fault& row = GetParam();
    if (row.small != NEITHER && m_strSmall.empty())
        GTEST_SKIP() << NO_SMALL_DRIVE;
    if (row.small == DEST_SMALL)
        m_strDest = m_strSmall + "\\Vantler";
    if (row.small == SYS_SMALL)
        m_strSys = m_strSmall + "\\system32";
    CreateDirectoryA(m_strSys.c_str(), nullptr);
    if (row.previous != FRESH) {
        ASSERT_NO_FATAL_FAILURE(InstallOlder(row.previous == HERE ? m_strDest : m_root.Path("Elsewhere")));
    }
    if (row.setup)
        row.setup(*this);
    InsertMedium(GetMedia().full);
    const Snapshot before = Take();
    // The user has chosen the destination; then the fault strikes.
    ASSERT_TRUE(Load(m_engine));
    m_engine.SetProgramFolder(m_strGroup);
    m_engine.CheckDestination(m_strDest);
    if (row.fault)
        row.fault(*this);
    m_log.clear();
    DWORD error = 0;
    const Phase failed = RunInstall(error);
    m_held.clear();
    m_registry.UnlockAll();
    if (!m_engine.m_journal.m_strGroup.empty())
        CloseFolderWindows(2000);

    EXPECT_EQ(row.phase, failed);
    if (row.error) {
        EXPECT_EQ(row.error, error) << std::hex << error;
    }
    if (row.damaged) {
        EXPECT_EQ(row.damaged, m_engine.GetDamagedFile().strName);
    }
    std::vector<int> kinds;  // of the error reports ("error KIND ...")
    for (const std::string& entry : Logged("error "))
        kinds.push_back(std::stoi(entry.substr(6)));
    const size_t told = kinds.size() + Logged("box ").size();
    if (row.report == NO_REPORT) {
        EXPECT_EQ(0u, told) << ::testing::PrintToString(m_log);
    } else if (row.report == ANY_REPORT) {
        EXPECT_EQ(1u, told) << ::testing::PrintToString(m_log);
    } else {
        EXPECT_EQ(std::vector<int>{row.report}, kinds);
    }

    const Snapshot after = Take();
    for (const auto& file : before.files) {
        auto now = after.files.find(file.first);
        if (now == after.files.end()) {
            ADD_FAILURE() << file.first << " is gone";
            continue;
        }
        if (now->second != file.second && now->second != NewContents(file.first))
            ADD_FAILURE() << file.first << " holds neither its old nor its new contents";
    }
    for (const auto& file : after.files) {
        if (!before.files.count(file.first))
            ADD_FAILURE() << file.first << " was added and stays";
    }
    for (const std::string& dir : before.dirs)
        EXPECT_TRUE(after.dirs.count(dir)) << dir << " is gone";
    for (const std::string& dir : after.dirs)
        EXPECT_TRUE(before.dirs.count(dir)) << dir << " was made and stays";
    EXPECT_EQ(before.group, after.group) << "the group's folder";
    char server[MAX_PATH] = "";
    DWORD size = sizeof server;
    if (RegGetValueA(HKEY_CLASSES_ROOT, "CLSID\\" VANTLER_CLSID "\\InprocServer32", nullptr, RRF_RT_REG_SZ, nullptr,
                     server, &size) == ERROR_SUCCESS) {
        EXPECT_TRUE(Exists(server)) << "the control is registered from " << server;
    }
    if (row.leftByDesign)
        row.leftByDesign(*this);
    EXPECT_EQ(RegLines(), RegistrySandbox::Changes(before.registry, m_registry.Export()));
    EXPECT_EQ(Lines(), TempFilesLeft({m_strSmall}));
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultMatrix, ::testing::ValuesIn(FAULTS),
                         [](const ::testing::TestParamInfo<Fault>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c) {
                                 if (isalnum(static_cast<unsigned char>(*c)))
                                     name += *c;
                                 else if (!name.empty() && name.back() != '_')
                                     name += '_';
                             }
                             return name;
                         });

// The fault matrix: each row makes one phase of a real install of the sample
// product fail for real (a full disk, a file another program holds open, a
// refused registry key, the user quitting at a prompt, a damaged medium ...),
// mostly over a previous installation, then rolls back and holds the machine
// to the journal's promise:
//   - every file that was there before is still there, with its old contents
//     or (when this run replaced it) the new ones; every file this run added
//     is gone, Uninst.exe included unless it was there before; directories
//     this run made may stay;
//   - the registry exports as before, except what the rollback leaves by
//     design (an existing file type keeps what was written into it, an App
//     Paths key that lacked "Path" goes), which the row checks and puts back;
//   - no temporary file anywhere.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "engine/registry_entries.h"
#include "engine/setup_engine.h"
#include "framework/message_box.h"
#include "platform/disk.h"
#include "platform/registry.h"
#include "tests/engine/engine_fixture.h"
#include "tests/engine/record_support.h"
#include "tests/engine/sample_media.h"
#include "tests/support/temp_dir.h"

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
        BuildSampleMedium(full);
        BuildSampleMedium(older, [](Manifest& m) {
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
constexpr int NO_REPORT = -1;
constexpr int ANY_REPORT = -2;

// How the user answers the engine's questions.
struct Answers {
    int quitAtDisk = 0;            // quit when asked for this disk (1-based)
    bool wrongDiskFirst = false;   // the first disk offered is disk 1 again (before quitAtDisk)
    std::string quitAtStatus;      // quit when this file name is shown
    int quitAtPercent = 0;         // quit at the first progress at or above it
    int readOnlyAnswer = 1;        // 1 overwrite, 2 keep, 3 quit
};

// One install run and what it sees.
struct InstallRun {
    TempDir temp;
    std::string drive = temp.Path("drive");   // the floppy drive, disk 1 in it
    std::string disks = temp.Path("disks");   // this run's copy of the further disks
    std::string dest = temp.Path("Vantler");
    std::string sys = temp.Path("system32");
    std::string small;                        // the small drive, when a row uses it
    CRegistrySandbox registry;
    Answers answers;
    bool offeredWrongDisk = false;
    std::vector<int> reports;
    std::vector<std::string> boxes;
    std::vector<std::unique_ptr<HeldFile>> held;

    void Hold(const std::string& path)
    {
        held.push_back(std::make_unique<HeldFile>(path));
        EXPECT_TRUE(held.back()->IsHeld()) << path;
    }
    void ReadOnly(const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }
};

InstallRun* g_pRun = nullptr;

int Callback(int code, INT_PTR param1, INT_PTR)
{
    InstallRun& run = *g_pRun;
    switch (code) {
    case SETUPCB_ERROR: run.reports.push_back(static_cast<int>(param1)); return 1;
    case SETUPCB_STATUSTEXT:
        return *reinterpret_cast<const std::string*>(param1) == run.answers.quitAtStatus ? 0 : 1;
    case SETUPCB_PROGRESS: return run.answers.quitAtPercent && param1 >= run.answers.quitAtPercent ? 0 : 1;
    case SETUPCB_READONLY: return run.answers.readOnlyAnswer;
    case SETUPCB_INSERTDISK: {
        const int disk = static_cast<int>(param1 & 0xFFFF) + 1;
        std::string source = run.disks + "\\disk" + std::to_string(disk) + "\\Data.dat";
        if (run.answers.wrongDiskFirst && !run.offeredWrongDisk) {
            run.offeredWrongDisk = true;
            source = run.disks + "\\disk1\\Data.dat";
        } else if (disk == run.answers.quitAtDisk) {
            return 0;
        }
        return CopyFileA(source.c_str(), (run.drive + "\\Data.dat").c_str(), FALSE) ? 1 : 0;
    }
    default: return 1;
    }
}

class BoxLog : public IMessageBoxPresenter {
public:
    int Show(const char*, const std::string& text, UINT) override
    {
        g_pRun->boxes.push_back(text);
        return IDOK;
    }
};

void CopyFolder(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    for (const std::string& entry : ListTree(from)) {
        if (entry.back() == '\\')
            CreateDirectoryA((to + "\\" + entry).c_str(), nullptr);
        else
            CopyFileA((from + "\\" + entry).c_str(), (to + "\\" + entry).c_str(), FALSE);
    }
}

// Puts a medium's first disk into the run's drive and its further disks
// where the user takes them from.
void InsertMedium(InstallRun& run, const std::string& medium)
{
    DeleteFileA((run.drive + "\\Data.dat").c_str());
    CopyFolder(medium + "\\disk1", run.drive);
    CopyFolder(medium, run.disks);
}

// What the loading does, with the system directory of the run.
void Load(CSetupEngine& engine, InstallRun& run, const std::string& dest)
{
    engine.PrepareLoad();
    engine.m_pfnCallback = Callback;
    engine.m_strSourceDir = run.drive;
    engine.m_strSysDir = run.sys;
    ASSERT_TRUE(engine.ReadDescriptionFile());
    engine.SetDestDir(dest);
    engine.CheckDestination(dest);
}

// The older edition's complete install into dest.
void InstallOlder(InstallRun& run, const std::string& dest)
{
    InsertMedium(run, GetMedia().older);
    CSetupEngine engine;
    Load(engine, run, dest);
    ASSERT_TRUE(engine.CopyFiles());
    ASSERT_TRUE(engine.UpdateRegistry());
    engine.SetInfoText(nullptr);
    ASSERT_TRUE(engine.SaveInstallRecord());
    engine.RunPostInstallHook();
}

struct Snapshot {
    std::map<std::string, std::string> files;  // "dest\..." or "sys\..." -> contents
    std::set<std::string> dirs;
    std::string registry;
};

void AddFolder(Snapshot& s, const std::string& label, const std::string& dir)
{
    for (const std::string& entry : ListTree(dir)) {
        if (entry.back() == '\\')
            s.dirs.insert(label + entry);
        else
            s.files[label + entry] = Contents(dir + "\\" + entry);
    }
}

Snapshot Take(InstallRun& run)
{
    Snapshot s;
    AddFolder(s, "dest\\", run.dest);
    AddFolder(s, "sys\\", run.sys);
    s.registry = run.registry.Export();
    return s;
}

// The full edition's contents of an installed file, or "" when it has none.
std::string NewContents(const std::string& label)
{
    if (label == "sys\\VantlerRt.dll")
        return Contents(StageFile("bin/VantlerRt.dll"));
    for (const auto& file : SampleDestinationFiles()) {
        if (label == "dest\\" + file.first)
            return Contents(StageFile(file.second));
    }
    return std::string();
}

struct Fault {
    const char* name;
    Phase phase;        // the operation that fails
    Previous previous;  // the installation the run goes over
    bool destOnSmallDrive, sysOnSmallDrive;
    std::function<void(InstallRun&)> setup;       // the machine before the run (in the snapshot)
    std::function<void(InstallRun&)> fault;       // after the snapshot: handles held, keys locked, disks filled
    std::function<void(InstallRun&)> beforeSave;  // between the registration and the saving of the record
    Answers answers;
    DWORD error;    // the last-error value of the failed operation; 0: not checked
    int report;     // SETUPCB_ERROR kind reported, NO_REPORT, ANY_REPORT (a report or a box)
    std::function<void(InstallRun&)> leftByDesign;  // checks what the rollback leaves, then puts it back
};

void LockSharedDlls(InstallRun& run) { ASSERT_TRUE(run.registry.Lock(SHARED_DLLS_KEY)); }

Answers QuitAtDisk(int disk)
{
    Answers a;
    a.quitAtDisk = disk;
    return a;
}

Answers QuitAtStatus(const char* name)
{
    Answers a;
    a.quitAtStatus = name;
    return a;
}

Answers QuitAtPercent(int percent)
{
    Answers a;
    a.quitAtPercent = percent;
    return a;
}

Answers ReadOnlyAnswer(int answer)
{
    Answers a;
    a.readOnlyAnswer = answer;
    return a;
}

Answers WrongDiskThenQuit()
{
    Answers a;
    a.wrongDiskFirst = true;
    a.quitAtDisk = 2;
    return a;
}

void FillSmallDrive(InstallRun& run, ULONGLONG keep) { FillDrive(run.small + "\\filler", keep); }

void WriteForeignFileType(InstallRun&)
{
    SetRegString(HKEY_CLASSES_ROOT, ".vtr", "", "Vtr.File");
    SetRegString(HKEY_CLASSES_ROOT, "Tessel.Document", "", "Somebody's document");
}

// The foreign file type keeps what the run wrote into it; the rest goes back by hand.
void ForeignFileTypeWasOverwritten(InstallRun& run)
{
    std::string value;
    EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_CLASSES_ROOT, ".vtr", "", value));
    EXPECT_EQ("Tessel.Document", value);
    EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_CLASSES_ROOT, "Tessel.Document", "", value));
    EXPECT_EQ("Vantler Resource", value);
    EXPECT_EQ(ERROR_SUCCESS, RegKeyExists(HKEY_CLASSES_ROOT, ".vtr\\ShellNew"));
    DeleteRegKeyTree(HKEY_CLASSES_ROOT, ".vtr\\ShellNew");
    DeleteRegKeyTree(HKEY_CLASSES_ROOT, "Tessel.Document\\shell");
    WriteForeignFileType(run);
}

const std::string EXE_KEY = AppPathKey("Tessel.exe");
const char* const OPEN_COMMAND_KEY = "Tessel.Document\\shell\\open\\command";

// The document type's open command for the product installed in dir: the
// program's short path while it is there, else its long one.
std::string OpenCommand(const std::string& dir)
{
    const std::string program = dir + "\\Tessel.exe";
    char shortPath[MAX_PATH];
    DWORD n = GetShortPathNameA(program.c_str(), shortPath, MAX_PATH);
    return (n > 0 && n < MAX_PATH ? std::string(shortPath, n) : program) + " \"%1\"";
}

const Fault FAULTS[] = {
    // The copy phase.
    {"disk full in the destination", COPY, HERE, true, false, nullptr,
     [](InstallRun& run) { FillSmallDrive(run, 300000); }, nullptr, {}, 0, SETUPERR_DISKFULL, nullptr},
    {"disk full in the system directory", COPY, FRESH, false, true, nullptr,
     [](InstallRun& run) { FillSmallDrive(run, 0); }, nullptr, {}, 0, SETUPERR_DISKFULL, nullptr},
    {"form file held open by another program", COPY, HERE, false, false, nullptr,
     [](InstallRun& run) { run.Hold(run.dest + "\\VB\\Q7\\Form1.frm"); }, nullptr, {}, 0, ANY_REPORT, nullptr},
    {"Uninst.exe held open", COPY, HERE, false, false, nullptr,
     [](InstallRun& run) { run.Hold(run.dest + "\\Uninst.exe"); }, nullptr, {}, 0, ANY_REPORT, nullptr},
    {"system file held open, no version resource", COPY, FRESH, false, false,
     [](InstallRun& run) {
         CreateDirectoryA(run.sys.c_str(), nullptr);
         WriteAt(run.sys + "\\VantlerRt.dll", "not a library");
     },
     [](InstallRun& run) { run.Hold(run.sys + "\\VantlerRt.dll"); }, nullptr, {}, 0, ANY_REPORT, nullptr},
    {"quit at the disk prompt", COPY, HERE, false, false, nullptr, nullptr, nullptr, QuitAtDisk(2),
     SETUP_E_CANCELLED, NO_REPORT, nullptr},
    {"quit at the disk prompt, fresh machine", COPY, FRESH, false, false, nullptr, nullptr, nullptr, QuitAtDisk(2),
     SETUP_E_CANCELLED, NO_REPORT, nullptr},
    {"wrong disk offered, then quit", COPY, HERE, false, false, nullptr, nullptr, nullptr, WrongDiskThenQuit(),
     SETUP_E_CANCELLED, NO_REPORT, nullptr},
    {"quit while a file's name is shown", COPY, HERE, false, false, nullptr, nullptr, nullptr, QuitAtStatus("Q7.exe"),
     0, NO_REPORT, nullptr},
    {"quit while the uninstaller is copied", COPY, FRESH, false, false, nullptr, nullptr, nullptr,
     QuitAtStatus("Uninst.exe"), 0, NO_REPORT, nullptr},
    {"quit from the progress display", COPY, HERE, false, false, nullptr, nullptr, nullptr, QuitAtPercent(60),
     SETUP_E_CANCELLED, NO_REPORT, nullptr},
    {"read-only file, the user quits", COPY, HERE, false, false,
     [](InstallRun& run) { run.ReadOnly(run.dest + "\\VB\\Joust\\Joust.vbp"); }, nullptr, nullptr, ReadOnlyAnswer(3), 0,
     NO_REPORT, nullptr},
    {"read-only file held open", COPY, HERE, false, false,
     [](InstallRun& run) { run.ReadOnly(run.dest + "\\VB\\Joust\\Joust.vbp"); },
     [](InstallRun& run) { run.Hold(run.dest + "\\VB\\Joust\\Joust.vbp"); }, nullptr, {}, SETUP_E_FILESTATUS, ANY_REPORT,
     nullptr},
    {"a file where a directory must go", COPY, FRESH, false, false,
     [](InstallRun& run) {
         CreateDirectoryA(run.dest.c_str(), nullptr);
         WriteAt(run.dest + "\\Delphi", "in the way");
     },
     nullptr, nullptr, {}, 0, SETUPERR_CREATEDIR, nullptr},
    {"second disk ends early", COPY, HERE, false, false, nullptr,
     [](InstallRun& run) {
         const std::string data = run.disks + "\\disk2\\Data.dat";
         const std::string whole = Contents(data);
         WriteAt(data, whole.substr(0, whole.size() / 2));
     },
     nullptr, {}, 0, ANY_REPORT, nullptr},
    {"uninstaller missing from the first disk", COPY, HERE, false, false, nullptr,
     [](InstallRun& run) { DeleteFileA((run.drive + "\\_Uninst.ex_").c_str()); }, nullptr, {}, 0, ANY_REPORT, nullptr},
    {"destination under a file", COPY, FRESH, false, false,
     [](InstallRun& run) { WriteAt(run.dest, "a file named like the destination"); run.dest += "\\Vantler"; }, nullptr,
     nullptr, {}, 0, SETUPERR_CREATEDIR, nullptr},

    // The registration: a SharedDLLs count that cannot be written.
    {"SharedDLLs refused, fresh machine", REGISTRY, FRESH, false, false, nullptr, LockSharedDlls, nullptr, {},
     ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, previous install elsewhere", REGISTRY, ELSEWHERE, false, false, nullptr, LockSharedDlls,
     nullptr, {}, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, the old record's count gone", REGISTRY, HERE, false, false,
     [](InstallRun& run) { DeleteRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, run.sys + "\\VantlerRt.dll"); },
     LockSharedDlls, nullptr, {}, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, App Paths of another place", REGISTRY, FRESH, false, false,
     [](InstallRun&) {
         SetRegString(HKEY_LOCAL_MACHINE, EXE_KEY, "", "D:\\Old\\Tessel.exe");
         SetRegString(HKEY_LOCAL_MACHINE, EXE_KEY, "Path", "D:\\Old");
         SetRegString(HKEY_LOCAL_MACHINE, UninstallKey("Vantler"), "DisplayName", "Vantler 1.0");
         SetRegString(HKEY_LOCAL_MACHINE, UninstallKey("Vantler"), "UninstallString", "D:\\Old\\Uninst.exe");
     },
     LockSharedDlls, nullptr, {}, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},
    {"SharedDLLs refused, App Paths without Path", REGISTRY, FRESH, false, false,
     [](InstallRun&) { SetRegString(HKEY_LOCAL_MACHINE, EXE_KEY, "", "D:\\Old\\Tessel.exe"); }, LockSharedDlls, nullptr,
     {}, ERROR_ACCESS_DENIED, NO_REPORT,
     // Not saved, so taken for this run's own and deleted.
     [](InstallRun&) {
         EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegKeyExists(HKEY_LOCAL_MACHINE, EXE_KEY));
         SetRegString(HKEY_LOCAL_MACHINE, EXE_KEY, "", "D:\\Old\\Tessel.exe");
     }},
    {"SharedDLLs and App Paths refused", REGISTRY, ELSEWHERE, false, false, nullptr,
     [](InstallRun& run) {
         LockSharedDlls(run);
         ASSERT_TRUE(run.registry.Lock(EXE_KEY));
         ASSERT_TRUE(run.registry.Lock(UninstallKey("Vantler")));
     },
     nullptr, {}, ERROR_ACCESS_DENIED, NO_REPORT, nullptr},

    // The saving of the record.
    {"Setup.inf held open", RECORD, HERE, false, false, nullptr,
     [](InstallRun& run) { run.Hold(run.dest + "\\Setup.inf"); }, nullptr, {}, 0, ANY_REPORT, nullptr},
    {"read-only Setup.inf held open", RECORD, HERE, false, false,
     [](InstallRun& run) { run.ReadOnly(run.dest + "\\Setup.inf"); },
     [](InstallRun& run) { run.Hold(run.dest + "\\Setup.inf"); }, nullptr, {}, 0, ANY_REPORT, nullptr},
    {"disk full at the record", RECORD, HERE, true, false, nullptr, nullptr,
     [](InstallRun& run) { FillSmallDrive(run, 0); }, {}, ERROR_DISK_FULL, SETUPERR_DISKFULL, nullptr},
    {"disk full at the record, counted elsewhere before", RECORD, ELSEWHERE, true, false, nullptr, nullptr,
     [](InstallRun& run) { FillSmallDrive(run, 0); }, {}, ERROR_DISK_FULL, SETUPERR_DISKFULL,
     // The document type existed: its open command stays pointed at this run's program.
     [](InstallRun& run) {
         std::string command;
         EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_CLASSES_ROOT, OPEN_COMMAND_KEY, "", command));
         EXPECT_EQ(OpenCommand(run.dest), command);
         SetRegString(HKEY_CLASSES_ROOT, OPEN_COMMAND_KEY, "", OpenCommand(run.temp.Path("Elsewhere")));
     }},
    // The rollback lowers a count this run raised; one that another program
    // has set to 0 meanwhile goes instead of wrapping around.
    {"a directory named Setup.inf, the count zeroed meanwhile", RECORD, FRESH, false, false,
     [](InstallRun& run) { CreateDirectoryPath(run.dest + "\\Setup.inf"); }, nullptr,
     [](InstallRun& run) { SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, run.sys + "\\VantlerRt.dll", 0); }, {},
     0, ANY_REPORT, nullptr},
    {"a directory named Setup.inf, foreign file type", RECORD, FRESH, false, false,
     [](InstallRun& run) {
         CreateDirectoryPath(run.dest + "\\Setup.inf");
         WriteForeignFileType(run);
     },
     nullptr, nullptr, {}, 0, ANY_REPORT, ForeignFileTypeWasOverwritten},
};

// The install sequence from the copy phase to the saved record; the
// operation that failed, after the rollback.
Phase RunInstall(CSetupEngine& engine, const Fault& row, InstallRun& run, DWORD& error)
{
    Phase failed = NONE_FAILS;
    if (!engine.CopyFiles())
        failed = COPY;
    else if (!engine.UpdateRegistry())
        failed = REGISTRY;
    if (failed == NONE_FAILS) {
        if (row.beforeSave)
            row.beforeSave(run);
        engine.SetInfoText(nullptr);
        if (!engine.SaveInstallRecord())
            failed = RECORD;
    }
    error = GetLastError();
    if (failed != NONE_FAILS)
        engine.Rollback();
    return failed;
}

}  // namespace

TEST(FaultMatrix, EveryFailedPhaseRollsBackToTheJournalsPromise)
{
    GetMedia();
    const std::string small = SmallDrive();
    BoxLog boxes;
    IMessageBoxPresenter* previousPresenter = SetMessageBoxPresenter(&boxes);
    int rows = 0, skipped = 0;
    for (const Fault& row : FAULTS) {
        SCOPED_TRACE(row.name);
        if ((row.destOnSmallDrive || row.sysOnSmallDrive) && small.empty()) {
            ++skipped;
            continue;
        }
        ++rows;
        InstallRun run;
        g_pRun = &run;
        run.small = small;
        if (row.destOnSmallDrive)
            run.dest = small + "\\Vantler";
        if (row.sysOnSmallDrive)
            run.sys = small + "\\system32";
        CreateDirectoryA(run.sys.c_str(), nullptr);
        if (row.previous != FRESH)
            InstallOlder(run, row.previous == HERE ? run.dest : run.temp.Path("Elsewhere"));
        if (row.setup)
            row.setup(run);
        InsertMedium(run, GetMedia().full);
        const Snapshot before = Take(run);
        // The user has chosen the destination; then the fault strikes.
        CSetupEngine engine;
        Load(engine, run, run.dest);
        if (row.fault)
            row.fault(run);
        run.answers = row.answers;
        run.reports.clear();
        run.boxes.clear();
        DWORD error = 0;
        const Phase failed = RunInstall(engine, row, run, error);
        run.held.clear();
        run.registry.UnlockAll();
        if (row.destOnSmallDrive || row.sysOnSmallDrive)
            DeleteFileA((small + "\\filler").c_str());

        EXPECT_EQ(row.phase, failed);
        if (row.error) {
            EXPECT_EQ(row.error, error) << std::hex << error;
        }
        const size_t told = run.reports.size() + run.boxes.size();
        if (row.report == NO_REPORT) {
            EXPECT_EQ(0u, told) << (run.boxes.empty() ? "" : run.boxes[0]);
        } else if (row.report == ANY_REPORT) {
            EXPECT_EQ(1u, told);
        } else {
            EXPECT_EQ(std::vector<int>{row.report}, run.reports);
        }

        const Snapshot after = Take(run);
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
        if (row.leftByDesign)
            row.leftByDesign(run);
        EXPECT_EQ(before.registry, run.registry.Export());
        for (const std::string& where : std::vector<std::string>{run.dest, run.sys, run.drive, small}) {
            if (!where.empty()) {
                EXPECT_TRUE(TempFilesIn(where).empty()) << where;
            }
        }
        if (row.destOnSmallDrive)
            RemoveTree(run.dest);
        if (row.sysOnSmallDrive)
            RemoveTree(run.sys);
        g_pRun = nullptr;
    }
    SetMessageBoxPresenter(previousPresenter);
    std::printf("fault matrix: %d rows run, %d skipped (no small drive)\n", rows, skipped);
}

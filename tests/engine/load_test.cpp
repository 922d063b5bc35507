// Loading the install information: a probe program run from a medium folder
// and from a drive root, descriptions the loader must refuse, and the
// destination's free-space check on a drive of known size.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "framework/file.h"
#include "model/media_format.h"
#include "platform/disk.h"
#include "tests/engine/engine_fixture.h"

namespace {

typedef std::map<std::string, std::string> Findings;

bool HaveDisplay()
{
    char display[64];
    DWORD length = GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    return length > 0 && length < sizeof display;
}

class LoadTest : public EngineFixture {
protected:
    // Copies the probe into dir as Setup.exe, runs it there and returns what
    // it found.
    Findings RunProbe(const std::string& dir)
    {
        const std::string exe = dir + "\\" + SETUP_PROGRAM_NAME;
        const std::string report = m_root.Path("probe.txt");
        EXPECT_TRUE(CopyFileA(TestLibrary("engine_load_probe.exe").c_str(), exe.c_str(), FALSE));
        std::string command = "\"" + exe + "\" \"" + report + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        Findings findings;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            ADD_FAILURE() << "the probe did not start: " << GetLastError();
            return findings;
        }
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        DeleteFileA(exe.c_str());
        std::ifstream in(report);
        std::string key, value;
        while (in >> key && std::getline(in, value))
            findings[key] = value.empty() ? value : value.substr(1);
        return findings;
    }
    void BuildSmallMedium()
    {
        nlohmann::json j = Manifest(2);
        AddFile(j["application"], "tool.exe", 100, 1);
        BuildMedium(j);
    }
    // A description with two first-level directories (or only the first)
    // and, when named, a subdirectory of the application directory; and a
    // Data.dat beside it.
    void StoreDescription(int mediaType, bool bothDirectories, const char* subdirectory) const
    {
        CSetupEdit description;
        InstallNode* app = description.AddDirectory(description.GetRoot(), ROOT_APPLICATION_NAME);
        if (bothDirectories)
            description.AddDirectory(description.GetRoot(), ROOT_SYSTEM_NAME);
        if (subdirectory)
            description.AddDirectory(*app, subdirectory);
        description.m_nMediaType = mediaType;
        CFile file((m_strSource + "\\" + DESCRIPTION_FILE_NAME).c_str(), CFile::modeCreate | CFile::modeWrite);
        description.StoreRecord(file);
        file.Close();
        Write(m_strSource + "\\" + DATA_FILE_NAME, std::string(2, '\0'));
    }
    std::string Windows() const
    {
        char dir[MAX_PATH];
        return std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH));
    }
};

// The program groups come from Program Manager, which answers only while
// there is a display; engine_load_nodisplay_test runs these without one.
class LoadFromMedium : public LoadTest {
protected:
    void SetUp() override
    {
        if (!HaveDisplay())
            GTEST_SKIP() << "no display: Program Manager cannot answer";
        BuildSmallMedium();
    }
};

class NoProgramManager : public LoadTest {
protected:
    void SetUp() override
    {
        if (HaveDisplay())
            GTEST_SKIP() << "runs only without a display";
        BuildSmallMedium();
    }
};

TEST_F(LoadFromMedium, FindsEverythingBesideTheProgram)
{
    Findings found = RunProbe(m_strSource);
    EXPECT_EQ("1", found["result"]) << found["error"];
    EXPECT_EQ(m_strSource, found["source"]);
    EXPECT_EQ(Windows(), found["win"]);
    EXPECT_EQ(std::to_string(Windows()[0] - 'A' + 1), found["windrive"]);
    char sys[MAX_PATH];
    EXPECT_EQ(std::string(sys, GetSystemDirectoryA(sys, MAX_PATH)), found["sys"]);
    EXPECT_EQ("Vantler", found["title"]);
    EXPECT_EQ("Tessel.exe", found["mainexe"]);
    EXPECT_EQ("vtr", found["resext"]);
    EXPECT_NE("0", found["groups"]);
    // Fixed drives of the test prefix in order; never the floppy A:.
    EXPECT_EQ(0u, found["drives"].find("C "));
    EXPECT_NE(std::string::npos, found["drives"].find("C S T"));
    EXPECT_EQ(std::string::npos, found["drives"].find('A'));
}

// Started as A:\SETUP.EXE: the source directory is the drive root as "A:".
TEST_F(LoadFromMedium, StartedFromADriveRoot)
{
    for (const char* name : {DESCRIPTION_FILE_NAME, DATA_FILE_NAME})
        ASSERT_TRUE(CopyFileA((m_strSource + "\\" + name).c_str(), (std::string("A:\\") + name).c_str(), FALSE));
    Findings found = RunProbe("A:");
    for (const char* name : {DESCRIPTION_FILE_NAME, DATA_FILE_NAME})
        DeleteFileA((std::string("A:\\") + name).c_str());
    EXPECT_EQ("1", found["result"]) << found["error"];
    EXPECT_EQ("A:", found["source"]);
}

TEST_F(NoProgramManager, LoadFailsWithTheInitCode)
{
    Findings found = RunProbe(m_strSource);
    EXPECT_EQ("0", found["result"]);
    EXPECT_EQ("e0000006", found["error"]);
}

// Descriptions the loader refuses, with the code the sequence turns into
// its message; the copy phase never sees them.
TEST_F(LoadTest, RefusedDescriptions)
{
    const std::string setup = m_strSource + "\\" + DESCRIPTION_FILE_NAME;
    const std::string data = m_strSource + "\\" + DATA_FILE_NAME;
    const struct {
        const char* what;
        std::function<void()> prepare;
        DWORD error;  // 0: accepted
    } rows[] = {
        {"plain", [&] { StoreDescription(3, true, "Docs"); }, 0},
        {"no Setup.dat", [&] { DeleteFileA(setup.c_str()); }, SETUP_E_NOINFO},
        {"no Data.dat", [&] { DeleteFileA(data.c_str()); }, SETUP_E_NOINFO},
        {"Setup.dat a folder", [&] {
             DeleteFileA(setup.c_str());
             CreateDirectoryA(setup.c_str(), nullptr);
         },
         SETUP_E_NOINFO},
        {"foreign signature", [&] { Write(setup, "\x24" + Read(setup).substr(1)); }, SETUP_E_BADINFO},
        {"cut short", [&] { Write(setup, Read(setup).substr(0, 40)); }, SETUP_E_BADINFO},
        {"media type 4", [&] { StoreDescription(4, true, nullptr); }, SETUP_E_BADINFO},
        {"one first-level directory", [&] { StoreDescription(2, false, nullptr); }, SETUP_E_BADINFO},
        {"directory ..", [&] { StoreDescription(2, true, ".."); }, SETUP_E_BADINFO},
        {"directory C:", [&] { StoreDescription(2, true, "C:"); }, SETUP_E_BADINFO},
        {"directory CON", [&] { StoreDescription(2, true, "CON"); }, SETUP_E_BADINFO},
    };
    for (const auto& row : rows) {
        RemoveDirectoryA(setup.c_str());
        StoreDescription(2, true, nullptr);
        row.prepare();
        SetLastError(0);
        const BOOL loaded = LoadEngine();
        EXPECT_EQ(row.error, loaded ? 0 : GetLastError()) << row.what;
    }
}

// U: is a small tmpfs (scripts/wine-env): its free space is exact and stays
// put, so that a requirement can meet it to the byte.
TEST_F(LoadTest, DiskSpaceToTheByteWithoutWrapping)
{
    const BYTE kDriveC = 3, kDriveQ = 17, kDriveU = 21;
    DWORD free = 0;
    if (!GetDiskFreeBytes(kDriveU, free))
        GTEST_SKIP() << "U: is not mapped (a tmpfs needs root to mount): no space check on a known drive";
    engine.m_abDrives = {kDriveU, kDriveQ};
    engine.m_dwUninstBytes = 0xFFFFFFFF;  // never part of the check
    const struct {
        BYTE winDrive;
        DWORD app, sys, extra;
        DWORD error;  // 0: enough
    } rows[] = {
        {kDriveU, free - 10, 6, 4, 0},                  // the three together, exactly
        {kDriveU, free - 10, 7, 4, SETUP_E_DISKSPACE},  // one byte more
        {kDriveU, 0xFFFFFFFF, 2, 0, SETUP_E_DISKSPACE}, // a sum that wraps in 32 bits
        {kDriveC, free - 4, 1000, 4, 0},                // the system files go to C:
        {kDriveC, free - 3, 0, 4, SETUP_E_DISKSPACE},
    };
    for (const auto& row : rows) {
        engine.m_chWinDrive = row.winDrive;
        engine.m_dwAppBytes = row.app;
        engine.m_dwSysBytes = row.sys;
        engine.m_dwExtraBytes = row.extra;
        const BOOL enough = engine.CheckDiskSpace();
        EXPECT_EQ(row.error, enough ? 0 : GetLastError()) << row.app << " " << row.sys << " " << row.extra;
    }
    DWORD reported = 0;
    EXPECT_TRUE(engine.GetDestFreeSpace(reported));
    EXPECT_EQ(free, reported);
    // A destination that cannot be queried: the platform's error stays.
    engine.SetDestDrive(1);
    EXPECT_FALSE(engine.CheckDiskSpace());
    EXPECT_NE(SETUP_E_DISKSPACE, GetLastError());
}

}  // namespace

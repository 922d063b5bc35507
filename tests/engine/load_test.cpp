// Loading the install information: the headless setup program run from a
// medium folder and from a drive root, descriptions the loader must refuse,
// and the destination's free-space check on a drive of known size.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "framework/file.h"
#include "model/media_format.h"
#include "model/medium_checksums.h"
#include "platform/disk.h"
#include "platform/path.h"
#include "tests/engine/engine_fixture.h"

namespace {

typedef std::map<std::string, std::string> Findings;

class LoadTest : public EngineFixture {
protected:
    // Copies the headless setup program into dir as Setup.exe, runs it there
    // and returns what it found.
    Findings RunProbe(const std::string& dir)
    {
        const std::string exe = dir + "\\" + SETUP_PROGRAM_NAME;
        const std::string report = m_root.Path("probe.txt");
        EXPECT_TRUE(CopyFileA(TestFile("engine_headless_setup.exe").c_str(), exe.c_str(), FALSE));
        EXPECT_EQ(0, RunProgram("\"" + exe + "\" \"" + report + "\""));
        DeleteFileA(exe.c_str());
        Findings findings;
        std::ifstream in(report);
        std::string key, value;
        while (in >> key && std::getline(in, value))
            findings[key] = value.empty() ? value : value.substr(1);
        return findings;
    }
    void BuildSmallMedium()
    {
        nlohmann::json j = NewManifest(2);
        AddFile(j["application"], "tool.exe", 100, 1);
        BuildMedium(j);
    }
    // A description with two first-level directories (or only the first),
    // when named a subdirectory and a file of the application directory, and
    // the default program folder; and a Data.dat beside it.
    void StoreDescription(int mediaType, bool bothDirectories, const char* subdirectory, const char* fileName = nullptr,
                          const char* programFolder = "Vantler") const
    {
        CSetupEdit description;
        InstallNode* app = description.AddDirectory(description.GetRoot(), ROOT_APPLICATION_NAME);
        if (bothDirectories)
            description.AddDirectory(description.GetRoot(), ROOT_SYSTEM_NAME);
        if (subdirectory)
            description.AddDirectory(*app, subdirectory);
        if (fileName)
            description.AddFile(*app, fileName);
        description.m_nMediaType = mediaType;
        description.m_strProgramFolder = programFolder;
        CFile file((m_strSource + "\\" + DESCRIPTION_FILE_NAME).c_str(), CFile::modeCreate | CFile::modeWrite);
        description.StoreRecord(file);
        file.Close();
        Write(m_strSource + "\\" + DATA_FILE_NAME, std::string(2, '\0'));
        DeleteFileA((m_strSource + "\\" + CHECKSUM_FILE_NAME).c_str());  // as older media are
    }
    std::string Windows() const
    {
        char dir[MAX_PATH];
        return std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH));
    }
};

// The program groups come from Program Manager, which answers only while
// there is a display; engine_copy_nodisplay_test runs these without one.
class LoadFromMedium : public LoadTest {
protected:
    void SetUp() override
    {
        if (!HaveDisplay())
            GTEST_SKIP() << NO_DISPLAY;
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
// its message (and the file it names when the checksums find damage); the
// copy phase never sees them.
TEST_F(LoadTest, RefusedDescriptions)
{
    const std::string setup = m_strSource + "\\" + DESCRIPTION_FILE_NAME;
    const std::string data = m_strSource + "\\" + DATA_FILE_NAME;
    const std::string sums = m_strSource + "\\" + CHECKSUM_FILE_NAME;
    // The small medium's checksums, with one file more than its description has.
    auto sumsOfAnotherDescription = [&] {
        BuildSmallMedium();
        CMediumChecksums other;
        {
            CFile file(sums.c_str(), CFile::modeRead);
            ASSERT_EQ(CMediumChecksums::LOADED, other.Load(file));
        }
        other.m_entries.push_back(FileChecksum());
        CFile file(sums.c_str(), CFile::modeCreate | CFile::modeWrite);
        other.Store(file);
    };
    const struct {
        const char* what;
        std::function<void()> prepare;
        DWORD error;  // 0: accepted
        const char* damaged = "";
    } rows[] = {
        {"a medium with checksums", [&] { BuildSmallMedium(); }, 0},
        {"Setup.dat damaged under its checksum", [&] {
             BuildSmallMedium();
             FlipByte(setup, Read(setup).find("Vantler"));
         },
         SETUP_E_DAMAGED, DESCRIPTION_FILE_NAME},
        {"Setup.crc damaged", [&] {
             BuildSmallMedium();
             FlipByte(sums, 20);
         },
         SETUP_E_DAMAGED, CHECKSUM_FILE_NAME},
        {"Setup.crc of a newer format", [&] {
             BuildSmallMedium();
             FlipByte(sums, 5);
         },
         SETUP_E_DAMAGED, CHECKSUM_FILE_NAME},
        {"Setup.crc empty", [&] { Write(sums, ""); }, SETUP_E_DAMAGED, CHECKSUM_FILE_NAME},
        {"Setup.crc a folder", [&] { CreateDirectoryA(sums.c_str(), nullptr); }, SETUP_E_DAMAGED, CHECKSUM_FILE_NAME},
        {"Setup.crc of another description", sumsOfAnotherDescription, SETUP_E_DAMAGED, CHECKSUM_FILE_NAME},
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
        {"directory CONIN$", [&] { StoreDescription(2, true, "CONIN$"); }, SETUP_E_BADINFO},
        {"file CONOUT$", [&] { StoreDescription(2, true, nullptr, "CONOUT$"); }, SETUP_E_BADINFO},
        {"file clock$.txt", [&] { StoreDescription(2, true, nullptr, "clock$.txt"); }, SETUP_E_BADINFO},
        {"file of brackets", [&] { StoreDescription(2, true, nullptr, "a)][DeleteGroup(StartUp)][CreateGroup(b.exe"); },
         0},
        // The default program folder, as a group name.
        {"folder ..", [&] { StoreDescription(2, true, nullptr, nullptr, ".."); }, SETUP_E_BADINFO},
        {"folder .", [&] { StoreDescription(2, true, nullptr, nullptr, "."); }, SETUP_E_BADINFO},
        {"folder of dots and blanks", [&] { StoreDescription(2, true, nullptr, nullptr, " . . "); }, SETUP_E_BADINFO},
        {"folder ..\\StartUp", [&] { StoreDescription(2, true, nullptr, nullptr, "..\\StartUp"); }, SETUP_E_BADINFO},
        {"folder with a quote", [&] { StoreDescription(2, true, nullptr, nullptr, "a\"b"); }, SETUP_E_BADINFO},
        {"folder CONOUT$", [&] { StoreDescription(2, true, nullptr, nullptr, "CONOUT$"); }, SETUP_E_BADINFO},
        {"folder of brackets",
         [&] { StoreDescription(2, true, nullptr, nullptr, "X)][DeleteGroup(StartUp)][CreateGroup(Y"); }, 0},
        {"folder of two parts", [&] { StoreDescription(2, true, nullptr, nullptr, "Vantler\\Tools"); }, 0},
        {"no folder", [&] { StoreDescription(2, true, nullptr, nullptr, ""); }, 0},
    };
    for (const auto& row : rows) {
        RemoveDirectoryA(setup.c_str());
        RemoveDirectoryA(sums.c_str());
        StoreDescription(2, true, nullptr);
        row.prepare();
        SetLastError(0);
        m_engine.m_damage = DamagedFile();
        const BOOL loaded = LoadEngine();
        EXPECT_EQ(row.error, loaded ? 0 : GetLastError()) << row.what;
        EXPECT_EQ(row.damaged, m_engine.GetDamagedFile().strName) << row.what;
    }
}

// The small drive is this program's alone: its free space is exact and stays
// put, so that a requirement can meet it to the byte.
TEST_F(LoadTest, DiskSpaceToTheByteWithoutWrapping)
{
    const std::string drive = SmallDrive();
    if (drive.empty())
        GTEST_SKIP() << NO_SMALL_DRIVE;
    const BYTE kDriveC = 3, kDriveQ = 17, kDriveSmall = static_cast<BYTE>(DriveNumberOf(drive[0]));
    DWORD free = 0;
    ASSERT_TRUE(GetDiskFreeBytes(kDriveSmall, free));
    m_engine.m_abDrives = {kDriveSmall, kDriveQ};
    m_engine.m_dwUninstBytes = 0xFFFFFFFF;  // never part of the check
    const struct {
        BYTE winDrive;
        DWORD app, sys, extra;
        DWORD error;  // 0: enough
    } rows[] = {
        {kDriveSmall, free - 10, 6, 4, 0},                   // the three together, exactly
        {kDriveSmall, free - 10, 7, 4, SETUP_E_DISKSPACE},   // one byte more
        {kDriveSmall, 0xFFFFFFFF, 2, 0, SETUP_E_DISKSPACE},  // a sum that wraps in 32 bits
        {kDriveC, free - 4, 1000, 4, 0},                     // the system files go to C:
        {kDriveC, free - 3, 0, 4, SETUP_E_DISKSPACE},
    };
    for (const auto& row : rows) {
        m_engine.m_chWinDrive = row.winDrive;
        m_engine.m_dwAppBytes = row.app;
        m_engine.m_dwSysBytes = row.sys;
        m_engine.m_dwExtraBytes = row.extra;
        const BOOL enough = m_engine.CheckDiskSpace();
        EXPECT_EQ(row.error, enough ? 0 : GetLastError()) << row.app << " " << row.sys << " " << row.extra;
    }
    DWORD reported = 0;
    EXPECT_TRUE(m_engine.GetDestFreeSpace(reported));
    EXPECT_EQ(free, reported);
    // A destination that cannot be queried: the platform's error stays.
    m_engine.SetDestDrive(1);
    EXPECT_FALSE(m_engine.CheckDiskSpace());
    EXPECT_NE(SETUP_E_DISKSPACE, GetLastError());
}

}  // namespace

// The copy phase on real media under Wine: files across floppy volumes with
// the user answering each disk prompt, the version rule on real PE files,
// read-only and in-use targets, real failures of the file system, quitting
// at every question, and damaged data volumes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "model/media_format.h"
#include "platform/version.h"
#include "tests/engine/engine_fixture.h"

using nlohmann::json;

namespace {

constexpr DWORD kFloppy = 1439998;  // payload of a full media type 1 volume
const std::vector<std::string> kNone;

class TransferTest : public EngineFixture {
protected:
    // A source file of size pattern bytes and its entry in the manifest directory dir.
    void Add(json& dir, const std::string& name, size_t size, unsigned seed) const
    {
        Put(name, Pattern(size, seed));
        dir["files"].push_back(Entry(name));
    }
    std::string Dest(const std::string& name) const { return m_strDest + "\\" + name; }
    std::string Source(const std::string& name) const { return m_strFiles + "\\" + name; }
    bool Installed(const std::string& target, const std::string& source) const
    {
        return Read(target) == Read(Source(source));
    }
    // An existing file at the destination before the install.
    void Place(const std::string& name, const std::string& contents, bool readOnly = false) const
    {
        std::filesystem::create_directories(m_strDest);
        Write(Dest(name), contents);
        SetReadOnly(Dest(name), readOnly);
    }
    // Logs where the read position stands as each file's name is shown.
    void TrackPosition()
    {
        m_onCall = [this](int code, INT_PTR param1, INT_PTR) {
            if (code == SETUPCB_STATUSTEXT)
                m_positions.push_back(*reinterpret_cast<const std::string*>(param1) + " " +
                                      std::to_string(engine.m_wDisk) + " " + std::to_string(engine.m_dwVolumeLeft));
        };
    }
    // Docs\read.txt, lead.bin and big.bin under Applikation, tail.dll under
    // WinSys: big.bin's 2,000,000 bytes start 100,000 bytes before the end
    // of volume 0 and end 460,002 bytes into volume 2.
    void BuildWorkedExample()
    {
        json j = Manifest(1);
        json docs = {{"name", "Docs"}};
        Add(docs, "read.txt", 500, 1);
        j["application"]["dirs"] = json::array({docs});
        Add(j["application"], "lead.bin", kFloppy - 100000 - 500, 2);
        Add(j["application"], "big.bin", 2000000, 3);
        Add(j["system"], "tail.dll", 1000, 4);
        ASSERT_EQ(3, BuildMedium(j));
        TrackPosition();
    }

    std::vector<std::string> m_positions;
};

TEST_F(TransferTest, WorkedExampleWrittenAcrossThreeVolumes)
{
    BuildWorkedExample();
    m_volumes = {2, 1, 2};  // the wrong disk first: asked again
    ASSERT_TRUE(Install()) << GetLastError();

    const std::string drive(1, m_strSource[0]);
    EXPECT_EQ(std::vector<std::string>({"disk 1 " + drive, "disk 1 " + drive, "disk 2 " + drive}), Logged("disk"));
    EXPECT_EQ(std::vector<std::string>({"Uninst.exe 0 0", "read.txt 0 1439998", "lead.bin 0 1439498",
                                        "big.bin 0 100000", "tail.dll 2 1000"}),
              m_positions);
    EXPECT_TRUE(Installed(Dest("Docs\\read.txt"), "read.txt"));
    EXPECT_TRUE(Installed(Dest("lead.bin"), "lead.bin"));
    EXPECT_TRUE(Installed(Dest("big.bin"), "big.bin"));
    EXPECT_TRUE(Installed(m_strSys + "\\tail.dll", "tail.dll"));
    EXPECT_TRUE(Installed(Dest(UNINSTALLER_NAME), "uninst.exe"));
    EXPECT_TRUE(engine.m_journal.m_bUninstCreated);
    EXPECT_EQ(4u, engine.m_journal.m_lstNewFiles.GetCount());
    const CPtrListOf<CInstalledFile>& created = engine.m_journal.m_lstNewFiles;
    EXPECT_EQ(m_strSys + "\\tail.dll", created.GetAt(created.GetTailPosition())->m_strName);

    // The record keeps the symbolic names; every byte counts towards 100 %.
    POSITION pos = engine.GetRoot().children.GetHeadPosition();
    EXPECT_EQ(ROOT_APPLICATION_NAME, engine.GetRoot().children.GetNext(pos)->dir->m_strName);
    EXPECT_EQ(ROOT_SYSTEM_NAME, engine.GetRoot().children.GetNext(pos)->dir->m_strName);
    EXPECT_EQ(engine.m_dwTotalBytes, engine.m_dwDoneBytes);
    EXPECT_EQ(100, m_nLastPercent);
    EXPECT_FALSE(engine.m_DataFile.IsOpen());
    EXPECT_EQ(kNone, TempFilesLeft());
}

TEST_F(TransferTest, WorkedExampleSteppedOverAsksOnlyForTheLastVolume)
{
    BuildWorkedExample();
    Place("big.bin", "kept", true);
    m_answers[SETUPCB_READONLY] = {2};
    ASSERT_TRUE(Install()) << GetLastError();

    EXPECT_EQ(std::vector<std::string>({"readonly " + Dest("big.bin")}), Logged("readonly"));
    EXPECT_EQ(std::vector<std::string>({std::string("disk 2 ") + m_strSource[0]}), Logged("disk"));
    EXPECT_EQ("tail.dll 2 1000", m_positions.back());
    EXPECT_EQ("kept", Read(Dest("big.bin")));
    EXPECT_TRUE(Installed(m_strSys + "\\tail.dll", "tail.dll"));
    EXPECT_EQ(3u, engine.m_journal.m_lstNewFiles.GetCount());  // the kept file is not new
    EXPECT_EQ(engine.m_dwTotalBytes, engine.m_dwDoneBytes);
}

// A file that ends exactly where its volume ends: an empty file after it
// needs no disk, the next byte is on the next one.
TEST_F(TransferTest, FileEndingExactlyAtTheVolumeEnd)
{
    json j = Manifest(1);
    Add(j["application"], "full.bin", kFloppy, 1);
    Add(j["application"], "empty.txt", 0, 2);
    Add(j["application"], "next.bin", 10, 3);
    ASSERT_EQ(2, BuildMedium(j));
    ASSERT_TRUE(Install()) << GetLastError();
    const std::string drive(1, m_strSource[0]);
    EXPECT_EQ(std::vector<std::string>({"status Uninst.exe", "status full.bin", "status empty.txt",
                                        "status next.bin", "disk 1 " + drive}),
              m_log);
    EXPECT_TRUE(Installed(Dest("empty.txt"), "empty.txt"));
    EXPECT_TRUE(Installed(Dest("next.bin"), "next.bin"));
}

// Stepping over a file that ends exactly at the end of the last volume must
// not ask for a volume after it, which does not exist.
TEST_F(TransferTest, SkippedFileEndingAtTheLastVolumeEndAsksForNothing)
{
    json j = Manifest(1);
    Add(j["application"], "a.bin", 100, 1);
    Add(j["application"], "b.bin", 2 * kFloppy - 100, 2);
    Add(j["application"], "empty.txt", 0, 3);
    ASSERT_EQ(2, BuildMedium(j));
    Place("b.bin", "kept", true);
    m_answers[SETUPCB_READONLY] = {2};
    ASSERT_TRUE(Install()) << GetLastError();
    EXPECT_EQ(kNone, Logged("disk"));
    EXPECT_EQ("kept", Read(Dest("b.bin")));
    EXPECT_TRUE(Installed(Dest("empty.txt"), "empty.txt"));
}

// The version rule on real version resources: only product versions count,
// most significant DWORD first, unsigned; a file without a record is older.
TEST_F(TransferTest, VersionRuleOnRealLibraries)
{
    struct Row {
        const char* existing;  // library placed at the target, "" for a plain file
        const char* incoming;  // library on the medium
        bool kept;
    } rows[] = {
        {"ver_1005.dll", "ver_1005.dll", true},    // same product version
        {"ver_1004.dll", "ver_1005.dll", false},   // older
        {"ver_2000.dll", "ver_1999.dll", true},    // newer, though its file version is lower
        {"ver_1999.dll", "ver_2000.dll", false},   // the most significant DWORD decides
        {"ver_32768.dll", "ver_1999.dll", true},   // unsigned
        {"ver_plain.dll", "ver_1005.dll", false},  // no version resource
        {"", "ver_1005.dll", false},
        {"ver_1004.dll", "ver_plain.dll", true},   // an all-zero record never replaces a versioned file
        {"ver_plain.dll", "ver_plain.dll", false}, // ... but does replace one without
    };
    json j = Manifest(2);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const std::string name = "row" + std::to_string(i) + ".dll";
        std::filesystem::copy_file(TestLibrary(rows[i].incoming), Source(name));
        j["application"]["files"].push_back(Entry(name));
        // Bytes after the image keep the resource readable and tell the files apart.
        Place(name, (*rows[i].existing ? Read(TestLibrary(rows[i].existing)) : "") + "existing");
    }
    BuildMedium(j);
    ASSERT_TRUE(Install()) << GetLastError();
    for (size_t i = 0; i < std::size(rows); ++i) {
        const std::string name = "row" + std::to_string(i) + ".dll";
        EXPECT_EQ(!rows[i].kept, Installed(Dest(name), name)) << name;
    }
    EXPECT_TRUE(engine.m_journal.m_lstNewFiles.IsEmpty());  // replaced files are not new
    EXPECT_EQ(engine.m_dwTotalBytes, engine.m_dwDoneBytes);
}

// Read-only targets: replace, keep (its bytes stepped over, so that the file
// after it is still right) or quit.
class ReadOnlyTest : public TransferTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReadOnlyTest, AnswerDecides)
{
    const int answer = GetParam();
    json j = Manifest(2);
    Add(j["application"], "locked.txt", 5000, 1);
    Add(j["application"], "after.txt", 700, 2);
    BuildMedium(j);
    Place("locked.txt", "old", true);
    m_answers[SETUPCB_READONLY] = {answer};

    EXPECT_EQ(answer != 3, Install());
    EXPECT_EQ(std::vector<std::string>({"readonly " + Dest("locked.txt")}), Logged("readonly"));
    EXPECT_EQ(answer == 1, Installed(Dest("locked.txt"), "locked.txt"));
    EXPECT_EQ(answer == 1, !(GetFileAttributesA(Dest("locked.txt").c_str()) & FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(answer != 3, Installed(Dest("after.txt"), "after.txt"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

INSTANTIATE_TEST_SUITE_P(Answers, ReadOnlyTest, ::testing::Values(1, 2, 3));

// Wine never reports a file in use; the seam answers for it.
TEST_F(TransferTest, InUseSystemFileFailsUnlessItIsKept)
{
    json j = Manifest(2);
    for (const char* name : {"same.dll", "older.dll"}) {
        std::filesystem::copy_file(TestLibrary("ver_1005.dll"), Source(name));
        j["system"]["files"].push_back(Entry(name));
        SetFindFileAnswer(m_strSys + "\\" + name, VFF_FILEINUSE);
    }
    std::filesystem::copy_file(TestLibrary("ver_1005.dll"), m_strSys + "\\same.dll");
    std::filesystem::copy_file(TestLibrary("ver_1004.dll"), m_strSys + "\\older.dll");
    BuildMedium(j);

    EXPECT_FALSE(Install());
    EXPECT_EQ(std::vector<std::string>({"error 5 " + m_strSys + "\\older.dll"}), Logged("error"));
    EXPECT_EQ(Read(TestLibrary("ver_1004.dll")), Read(m_strSys + "\\older.dll"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

// Failures the file system really produces, each ending the copy with its
// report and no temporary file left. A file held open elsewhere cannot be
// replaced (access denied to the move); a read-only one fails already when
// its cleared attribute and times are written back (a sharing violation).
class HeldTargetTest : public TransferTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HeldTargetTest, FailsWithItsReport)
{
    const bool readOnly = GetParam();
    json j = Manifest(2);
    Add(j["application"], "held.txt", 3000, 1);
    BuildMedium(j);
    Place("held.txt", "old", readOnly);
    DWORD error = 0;
    {
        HeldFile held(Dest("held.txt"));
        ASSERT_TRUE(held.IsHeld());
        EXPECT_FALSE(Install());
        error = GetLastError();
    }
    const std::string report =
        readOnly ? "box 16 Can't access to the file " + Dest("held.txt") +
                       ".\r\nIt is used by Windows.\r\nClose all Windows-applications and restart the Setup."
                 : "error 5 " + Dest("held.txt");
    EXPECT_EQ(report, m_log.back());
    if (readOnly) {
        EXPECT_EQ(SETUP_E_FILESTATUS, error);
    }
    EXPECT_EQ("old", Read(Dest("held.txt")));
    EXPECT_EQ(kNone, TempFilesLeft());
}

INSTANTIATE_TEST_SUITE_P(ReadOnlyOrNot, HeldTargetTest, ::testing::Bool());

TEST_F(TransferTest, TargetThatCannotBeReplaced)
{
    json j = Manifest(2);
    Add(j["application"], "blocked", 3000, 1);
    BuildMedium(j);
    std::filesystem::create_directories(Dest("blocked"));  // a directory of that name
    EXPECT_FALSE(Install());
    EXPECT_EQ(std::vector<std::string>({"error 5 " + Dest("blocked")}), Logged("error"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

// scripts/wine-env maps U: to a small tmpfs where the machine allows mounting.
TEST_F(TransferTest, DiskFull)
{
    ULARGE_INTEGER available, total, free;
    if (!GetDiskFreeSpaceExA("U:\\", &available, &total, &free) || total.QuadPart > 16u << 20)
        GTEST_SKIP() << "U: is not a small tmpfs (mounting one needs root): no real disk-full test";
    json j = Manifest(2);
    Add(j["application"], "huge.bin", static_cast<size_t>(total.QuadPart) + 100000, 1);
    BuildMedium(j);
    const std::string dest = "U:\\vt" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(LoadEngine());
    engine.SetDestDir(dest);
    EXPECT_FALSE(engine.CopyFiles());
    EXPECT_EQ(std::vector<std::string>({"error 6 U"}), Logged("error"));
    EXPECT_EQ(kNone, TempFilesLeft({dest}));
    std::error_code ec;
    std::filesystem::remove_all(dest, ec);
}

// A file in the way of a directory: the destination below a file, a
// subdirectory below one.
TEST_F(TransferTest, DirectoryThatCannotBeCreated)
{
    json j = Manifest(2);
    json deep = {{"name", "Deep"}};
    Add(deep, "read.txt", 10, 1);
    j["application"]["dirs"] = json::array({{{"name", "Docs"}, {"dirs", json::array({deep})}}});
    BuildMedium(j);
    Place("Docs", "a file where a directory goes");
    EXPECT_FALSE(Install());
    EXPECT_EQ(std::vector<std::string>({"error 7 " + Dest("Docs\\Deep")}), Logged("error"));

    m_log.clear();
    const std::string below = m_strDest + "\\Docs\\dest";
    ASSERT_TRUE(LoadEngine());
    engine.SetDestDir(below);
    EXPECT_FALSE(engine.CopyFiles());
    EXPECT_EQ(std::vector<std::string>({"error 7 " + below}), Logged("error"));
}

TEST_F(TransferTest, OwnUninstallerIsReplacedWithoutQuestion)
{
    BuildMedium(Manifest(2));
    Place(UNINSTALLER_NAME, "old", true);
    ASSERT_TRUE(Install()) << GetLastError();
    EXPECT_TRUE(Installed(Dest(UNINSTALLER_NAME), "uninst.exe"));
    EXPECT_EQ(kNone, Logged("readonly"));
    EXPECT_FALSE(engine.m_journal.m_bUninstCreated);  // it was there before
}

// Quitting at every point where the user is asked: the copy ends, nothing
// half-written stays, and the code is the failure table's.
struct QuitRow {
    const char* where;
    int code;
    std::deque<int> answers;
    DWORD error;            // 0: none of the copy phase's own codes
    const char* notThere;   // the file being written when the user quit
};

class QuitTest : public TransferTest, public ::testing::WithParamInterface<QuitRow> {};

TEST_P(QuitTest, LeavesNothingHalfWritten)
{
    const QuitRow& row = GetParam();
    json j = Manifest(1);
    Add(j["application"], "first.txt", 25000, 1);
    Add(j["application"], "second.bin", kFloppy, 2);
    ASSERT_EQ(2, BuildMedium(j));
    m_answers[row.code] = row.answers;
    SetLastError(0);
    EXPECT_FALSE(Install());
    const DWORD error = GetLastError();
    if (row.error) {
        EXPECT_EQ(row.error, error);
    } else {
        EXPECT_FALSE(error >= SETUP_E_VERSION && error <= SETUP_E_COPY) << std::hex << error;
    }
    EXPECT_FALSE(Exists(Dest(row.notThere)));
    EXPECT_EQ(kNone, Logged("error"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

INSTANTIATE_TEST_SUITE_P(
    Points, QuitTest,
    ::testing::Values(QuitRow{"uninstaller status", SETUPCB_STATUSTEXT, {0}, 0, UNINSTALLER_NAME},
                      QuitRow{"uninstaller progress", SETUPCB_PROGRESS, {0}, SETUP_E_CANCELLED, UNINSTALLER_NAME},
                      QuitRow{"file status", SETUPCB_STATUSTEXT, {1, 0}, 0, "first.txt"},
                      QuitRow{"progress mid-file", SETUPCB_PROGRESS, {1, 1, 0}, SETUP_E_CANCELLED, "first.txt"},
                      QuitRow{"disk prompt", SETUPCB_INSERTDISK, {0}, SETUP_E_CANCELLED, "second.bin"}),
    [](const ::testing::TestParamInfo<QuitRow>& info) {
        std::string name = info.param.where;
        for (char& c : name)
            if (c == ' ' || c == '-')
                c = '_';
        return name;
    });

// Volumes that are not what the medium promises. A missing volume, one too
// short to carry its number, and one with another number are asked for again.
TEST_F(TransferTest, DiskPromptRepeatsUntilTheRightVolume)
{
    json j = Manifest(1);
    Add(j["application"], "first.txt", 100, 1);
    Add(j["application"], "second.bin", kFloppy, 2);
    ASSERT_EQ(2, BuildMedium(j));
    m_volumes = {-1, 0, -1, 1};
    int prompts = 0;
    m_onCall = [&](int code, INT_PTR, INT_PTR) {
        if (code == SETUPCB_INSERTDISK && ++prompts == 3)
            Write(m_strSource + "\\Data.dat", "\x01");
    };
    ASSERT_TRUE(Install()) << GetLastError();
    EXPECT_EQ(4u, Logged("disk").size());
    EXPECT_TRUE(Installed(Dest("second.bin"), "second.bin"));
}

// Data that ends before the tree's files do: written or stepped over, the
// copy fails with the general report instead of asking for a disk that
// cannot exist.
class DamagedDataTest : public TransferTest, public ::testing::WithParamInterface<bool> {
protected:
    // Two files; the second one's data runs past the damage.
    void Run(int mediaType, size_t firstSize, size_t secondSize)
    {
        json j = Manifest(mediaType);
        Add(j["application"], "first.bin", firstSize, 1);
        Add(j["application"], "second.bin", secondSize, 2);
        BuildMedium(j);
        if (GetParam()) {
            Place("second.bin", "kept", true);
            m_answers[SETUPCB_READONLY] = {2};
        }
    }
    void ExpectCleanFailure()
    {
        EXPECT_FALSE(Install());
        EXPECT_EQ(std::vector<std::string>({"error 0"}), Logged("error"));
        EXPECT_EQ(GetParam() ? "kept" : "", Read(Dest("second.bin")));
        EXPECT_EQ(kNone, TempFilesLeft());
    }
    static void Truncate(const std::string& path, size_t bytes)
    {
        std::filesystem::resize_file(path, std::filesystem::file_size(path) - bytes);
    }
};

TEST_P(DamagedDataTest, SingleVolumeCutShort)
{
    Run(2, 5000, 3000);
    Truncate(m_strSource + "\\Data.dat", 10);
    ExpectCleanFailure();
    EXPECT_TRUE(Installed(Dest("first.bin"), "first.bin"));
    EXPECT_EQ(kNone, Logged("disk"));
}

// Stepping over the file never opens volume 1, and lands right all the same.
TEST_P(DamagedDataTest, LaterVolumeShorterThanItsDisk)
{
    Run(1, kFloppy - 10, kFloppy + 50000);  // second.bin runs through volume 1 into volume 2
    Truncate(VolumePath(1), 1000);
    if (!GetParam())
        return ExpectCleanFailure();
    EXPECT_TRUE(Install());
    EXPECT_EQ(std::vector<std::string>({std::string("disk 2 ") + m_strSource[0]}), Logged("disk"));
}

TEST_P(DamagedDataTest, LastVolumeCutShort)
{
    Run(1, 1000, kFloppy);
    Truncate(VolumePath(1), 10);
    ExpectCleanFailure();
}

INSTANTIATE_TEST_SUITE_P(WrittenOrSteppedOver, DamagedDataTest, ::testing::Bool());

TEST_F(TransferTest, LaterVolumeLongerThanItsDiskIsRefused)
{
    json j = Manifest(1);
    Add(j["application"], "first.bin", kFloppy + 10, 1);
    Add(j["application"], "second.bin", 10, 2);
    ASSERT_EQ(2, BuildMedium(j));
    std::ofstream(VolumePath(1), std::ios::binary | std::ios::app) << std::string(kFloppy, 'x');
    EXPECT_FALSE(Install());
    EXPECT_EQ(std::vector<std::string>({"error 0"}), Logged("error"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

TEST_F(TransferTest, UnreadableDataVolume)
{
    json j = Manifest(2);
    Add(j["application"], "first.bin", 100, 1);
    BuildMedium(j);
    HeldFile held(m_strSource + "\\Data.dat");
    EXPECT_FALSE(Install());
    EXPECT_EQ(1u, Logged("box 16 Can't access to the file " + m_strSource + "\\Data.dat.").size());
    EXPECT_EQ(kNone, Logged("disk"));
}

// How each failure of a file operation reaches the user.
TEST_F(TransferTest, FileExceptionReports)
{
    const std::string file = "C:\\dir\\name.dll";
    struct Row {
        std::unique_ptr<std::exception> error;
        std::vector<std::string> log;
    };
    std::vector<Row> rows;
    auto row = [&](std::exception* error, std::vector<std::string> log) {
        rows.push_back(Row{std::unique_ptr<std::exception>(error), std::move(log)});
    };
    const std::string access = "Can't copy the file name.dll.\r\nThere has likely occurred an access-violation.";
    row(nullptr, {"error 0"});
    row(new CUserException, {});
    row(new CArchiveException(CArchiveException::endOfFile), {"error 0"});
    row(new CFileException(CFileException::fileNotFound, 2), {"box 16 " + access});
    row(new CFileException(CFileException::badPath, 3, "D:\\x\\other.txt"),
        {"box 16 Can't copy the file other.txt.\r\nThere has likely occurred an access-violation."});
    row(new CFileException(CFileException::accessDenied, 5), {"error 5 " + file});
    row(new CFileException(CFileException::sharingViolation, 32),
        {"box 16 Can't access to the file " + file +
         ".\r\nIt is used by Windows.\r\nClose all Windows-applications and restart the Setup."});
    row(new CFileException(CFileException::diskFull, 112, "E:\\full.bin"), {"error 6 E"});
    for (int cause : {CFileException::none, CFileException::genericException, CFileException::endOfFile,
                      CFileException::hardIO})
        row(new CFileException(cause), {"error 0"});

    for (const Row& r : rows) {
        m_log.clear();
        engine.ReportFileException(r.error.get(), file);
        EXPECT_EQ(r.log, m_log) << (r.error ? r.error->what() : "no error");
    }
}

}  // namespace

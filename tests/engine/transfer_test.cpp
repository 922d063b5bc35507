// The copy phase on real media under Wine: files across floppy volumes with
// the user answering each disk prompt, the version rule on real PE files,
// read-only and in-use targets, real failures of the file system, quitting
// at every question, and damaged data volumes.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "model/media_format.h"
#include "platform/version.h"
#include "tests/engine/engine_fixture.h"

using nlohmann::json;
namespace fs = std::filesystem;

namespace {

constexpr DWORD kFloppy = 1439998;  // payload of a full media type 1 volume
const Lines kNone;

class TransferTest : public EngineFixture {
protected:
    std::string Disk(int index) const { return "disk " + std::to_string(index) + " " + m_strSource[0]; }
    // A medium of media type 1 whose application directory holds files of these sizes.
    void Floppies(std::vector<std::pair<const char*, size_t>> files)
    {
        json j = NewManifest(1);
        for (size_t i = 0; i < files.size(); ++i)
            AddFile(j["application"], files[i].first, files[i].second, static_cast<unsigned>(i));
        BuildMedium(j);
    }
};

// Docs\read.txt, lead.bin, big.bin under Applikation and tail.dll under
// WinSys: big.bin's 2,000,000 bytes start 100,000 bytes before the end of
// volume 0 and end 460,002 bytes into volume 2. Written, it takes a prompt
// for each further volume (a wrong, a missing and a too short volume are
// asked for again); stepped over, only volume 2 is asked for.
class WorkedExample : public TransferTest, public ::testing::WithParamInterface<bool> {};

TEST_P(WorkedExample, ReadPositionAndPrompts)
{
    const bool stepOver = GetParam();
    json j = NewManifest(1);
    json docs = {{"name", "Docs"}};
    AddFile(docs, "read.txt", 500, 1);
    j["application"]["dirs"] = json::array({docs});
    AddFile(j["application"], "lead.bin", kFloppy - 100000 - 500, 2);
    AddFile(j["application"], "big.bin", 2000000, 3);
    AddFile(j["system"], "tail.dll", 1000, 4);
    ASSERT_EQ(3, BuildMedium(j));
    Lines positions;
    m_onCall = [&](int code, INT_PTR param1, INT_PTR) {
        if (code == SETUPCB_STATUSTEXT)
            positions.push_back(*reinterpret_cast<const std::string*>(param1) + " " + std::to_string(m_engine.m_wDisk) +
                                " " + std::to_string(m_engine.m_dwVolumeLeft));
        if (code == SETUPCB_INSERTDISK && m_volumes.size() == 2)
            Write(m_strSource + "\\Data.dat", "\x01");
        return false;
    };
    if (stepOver) {
        Place(Dest("big.bin"), "kept", true);
        Place(Dest(UNINSTALLER_NAME), "old", true);  // ours: replaced without a question
        m_answers[SETUPCB_READONLY] = {2};
    } else {
        m_volumes = {2, -1, 1, 1, 2};
    }
    ASSERT_TRUE(Install()) << GetLastError();

    const Lines prompts = stepOver ? Lines{Disk(2)} : Lines{Disk(1), Disk(1), Disk(1), Disk(1), Disk(2)};
    EXPECT_EQ(prompts, Logged("disk"));
    EXPECT_EQ(Lines({"Uninst.exe 0 0", "read.txt 0 1439998", "lead.bin 0 1439498", "big.bin 0 100000",
                     "tail.dll 2 1000"}),
              positions);
    EXPECT_EQ(stepOver ? Lines{"readonly " + Dest("big.bin")} : kNone, Logged("readonly"));
    EXPECT_EQ(!stepOver, Installed(Dest("big.bin"), "big.bin"));
    EXPECT_TRUE(Installed(Dest("Docs\\read.txt"), "read.txt"));
    EXPECT_TRUE(Installed(Sys("tail.dll"), "tail.dll"));
    EXPECT_TRUE(Installed(Dest(UNINSTALLER_NAME), "uninst.exe"));
    EXPECT_EQ(!stepOver, m_engine.m_journal.m_bUninstCreated);
    const CPtrListOf<CInstalledFile>& created = m_engine.m_journal.m_lstNewFiles;
    EXPECT_EQ(stepOver ? 3u : 4u, created.GetCount());  // a kept file is not new
    EXPECT_EQ(Sys("tail.dll"), created.GetAt(created.GetTailPosition())->m_strName);

    // The record keeps the symbolic names; every byte counts towards 100 %.
    POSITION pos = m_engine.GetRoot().children.GetHeadPosition();
    EXPECT_EQ(ROOT_APPLICATION_NAME, m_engine.GetRoot().children.GetNext(pos)->dir->m_strName);
    EXPECT_EQ(ROOT_SYSTEM_NAME, m_engine.GetRoot().children.GetNext(pos)->dir->m_strName);
    EXPECT_EQ(m_engine.m_dwTotalBytes, m_engine.m_dwDoneBytes);
    EXPECT_EQ(100, m_nLastPercent);
    EXPECT_FALSE(m_engine.m_DataFile.IsOpen());
    EXPECT_EQ(kNone, TempFilesLeft());
}

INSTANTIATE_TEST_SUITE_P(WrittenOrSteppedOver, WorkedExample, ::testing::Bool());

// A file that ends exactly where its volume ends: an empty file after it
// needs no disk, the next byte is on the next one.
TEST_F(TransferTest, FileEndingExactlyAtTheVolumeEnd)
{
    Floppies({{"full.bin", kFloppy}, {"empty.txt", 0}, {"next.bin", 10}});
    ASSERT_TRUE(Install()) << GetLastError();
    EXPECT_EQ(Lines({"status Uninst.exe", "status full.bin", "status empty.txt", "status next.bin", Disk(1)}), m_log);
    EXPECT_TRUE(Installed(Dest("next.bin"), "next.bin"));
}

// Stepping over a file that ends exactly at the end of the last volume asks
// for no volume after it, which does not exist.
TEST_F(TransferTest, SkippedFileEndingAtTheLastVolumeEndAsksForNothing)
{
    Floppies({{"a.bin", 100}, {"b.bin", 2 * kFloppy - 100}, {"empty.txt", 0}});
    Place(Dest("b.bin"), "kept", true);
    m_answers[SETUPCB_READONLY] = {2};
    ASSERT_TRUE(Install()) << GetLastError();
    EXPECT_EQ(kNone, Logged("disk"));
    EXPECT_TRUE(Installed(Dest("empty.txt"), "empty.txt"));
}

// The version rule on real version resources: only product versions count,
// most significant DWORD first, unsigned; a file without a record is older.
TEST_F(TransferTest, VersionRuleOnRealLibraries)
{
    const struct {
        const char* existing;  // at the target, "" for a file without a resource
        const char* incoming;  // on the medium
        bool kept;
    } rows[] = {
        {"ver_1005.dll", "ver_1005.dll", true},     // the same product version
        {"ver_1004.dll", "ver_1005.dll", false},    // older
        {"ver_2000.dll", "ver_1999.dll", true},     // newer, though its file version is lower
        {"ver_1999.dll", "ver_2000.dll", false},    // the most significant DWORD decides
        {"ver_32768.dll", "ver_1999.dll", true},    // unsigned
        {"", "ver_1005.dll", false},                // no version resource
        {"ver_1004.dll", "ver_plain.dll", true},    // an all-zero record never replaces a versioned file
        {"ver_plain.dll", "ver_plain.dll", false},  // ... but one without
    };
    json j = NewManifest(2);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const std::string name = "row" + std::to_string(i) + ".dll";
        fs::copy_file(TestFile(rows[i].incoming), Source(name));
        j["application"]["files"].push_back({{"source", name}});
        // Bytes after the image keep the resource readable and tell the files apart.
        Place(Dest(name), (*rows[i].existing ? Read(TestFile(rows[i].existing)) : "") + "existing");
    }
    BuildMedium(j);
    ASSERT_TRUE(Install()) << GetLastError();
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_NE(rows[i].kept, Installed(Dest("row" + std::to_string(i) + ".dll"), "row" + std::to_string(i) + ".dll"))
            << i;
    EXPECT_TRUE(m_engine.m_journal.m_lstNewFiles.IsEmpty());  // replaced files are not new
    EXPECT_EQ(m_engine.m_dwTotalBytes, m_engine.m_dwDoneBytes);
}

// A read-only target: replaced, kept (its bytes stepped over, so that the
// file after it is still right), or the user quits.
class ReadOnlyTarget : public TransferTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReadOnlyTarget, TheAnswerDecides)
{
    const int answer = GetParam();
    Floppies({{"locked.txt", 5000}, {"after.txt", 700}});
    Place(Dest("locked.txt"), "old", true);
    m_answers[SETUPCB_READONLY] = {answer};
    EXPECT_EQ(answer != 3, Install());
    EXPECT_EQ(Lines{"readonly " + Dest("locked.txt")}, Logged("readonly"));
    EXPECT_EQ(answer == 1, Installed(Dest("locked.txt"), "locked.txt"));
    EXPECT_EQ(answer != 1, (GetFileAttributesA(Dest("locked.txt").c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
    EXPECT_EQ(answer != 3, Installed(Dest("after.txt"), "after.txt"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

INSTANTIATE_TEST_SUITE_P(ReplaceKeepQuit, ReadOnlyTarget, ::testing::Values(1, 2, 3));

// Wine never reports a file in use; the seam answers for it. A system file
// of the same version is kept all the same, an older one stops the install.
TEST_F(TransferTest, InUseSystemFile)
{
    json j = NewManifest(2);
    for (const char* name : {"same.dll", "older.dll"}) {
        fs::copy_file(TestFile("ver_1005.dll"), Source(name));
        j["system"]["files"].push_back({{"source", name}});
        SetFindFileAnswer(Sys(name), VFF_FILEINUSE);
    }
    fs::copy_file(TestFile("ver_1005.dll"), Sys("same.dll"));
    fs::copy_file(TestFile("ver_1004.dll"), Sys("older.dll"));
    BuildMedium(j);
    EXPECT_FALSE(Install());
    EXPECT_EQ(Lines{"error 5 " + Sys("older.dll")}, Logged("error"));
    EXPECT_EQ(Read(TestFile("ver_1004.dll")), Read(Sys("older.dll")));
    EXPECT_EQ(kNone, TempFilesLeft());
}

// Failures the file system really produces, each ending the copy with the
// failure table's report and no temporary file left.
TEST_F(TransferTest, RealFailures)
{
    json j = NewManifest(2);
    AddFile(j["application"], "held.txt", 3000, 1);
    AddFile(j["application"], "folder", 10, 2);
    BuildMedium(j);
    const std::string inUse = ".\r\nIt is used by Windows.\r\nClose all Windows-applications and restart the Setup.";
    // Held open elsewhere: the move onto it is refused; read-only as well, the
    // times written back after clearing the attribute meet a sharing violation.
    for (bool readOnly : {false, true}) {
        Place(Dest("held.txt"), "old", readOnly);
        HeldFile held(Dest("held.txt"));
        ASSERT_TRUE(held.IsHeld());
        m_log.clear();
        EXPECT_FALSE(Install());
        const DWORD error = GetLastError();
        EXPECT_EQ(readOnly ? "box 16 Can't access to the file " + Dest("held.txt") + inUse : "error 5 " + Dest("held.txt"),
                  m_log.back());
        EXPECT_EQ(readOnly, error == SETUP_E_FILESTATUS);
        SetFileAttributesA(Dest("held.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ("old", Read(Dest("held.txt")));

    // A directory where the file goes cannot be replaced.
    DeleteFileA(Dest("held.txt").c_str());
    fs::create_directories(Dest("folder"));
    m_log.clear();
    EXPECT_FALSE(Install());
    EXPECT_EQ(Lines{"error 5 " + Dest("folder")}, Logged("error"));

    // A directory below a file cannot be created.
    const std::string below = Dest("held.txt\\dest");
    Place(Dest("held.txt"), "a file");
    m_log.clear();
    ASSERT_TRUE(LoadEngine());
    m_engine.SetDestDir(below);
    EXPECT_FALSE(m_engine.CopyFiles());
    EXPECT_EQ(Lines{"error 7 " + below}, Logged("error"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

TEST_F(TransferTest, DiskFull)
{
    const std::string drive = SmallDrive();
    if (drive.empty())
        GTEST_SKIP() << NO_SMALL_DRIVE;
    ULARGE_INTEGER total;
    ASSERT_TRUE(GetDiskFreeSpaceExA((drive + "\\").c_str(), nullptr, &total, nullptr));
    json j = NewManifest(2);
    AddFile(j["application"], "huge.bin", static_cast<size_t>(total.QuadPart) + 100000, 1);
    BuildMedium(j);
    const std::string dest = drive + "\\vt" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(LoadEngine());
    m_engine.SetDestDir(dest);
    EXPECT_FALSE(m_engine.CopyFiles());
    EXPECT_EQ(Lines{"error 6 " + drive.substr(0, 1)}, Logged("error"));
    EXPECT_EQ(kNone, TempFilesLeft({drive}));
    RemoveTree(dest);
}

// Quitting wherever the user is asked: the copy ends, nothing half-written
// stays, and the code is the failure table's.
struct QuitPoint {
    const char* where;
    int code;
    std::deque<int> answers;
    DWORD error;           // 0: none of the copy phase's own codes
    const char* notThere;  // the file being written when the user quit
};

class Quit : public TransferTest, public ::testing::WithParamInterface<QuitPoint> {};

TEST_P(Quit, LeavesNothingHalfWritten)
{
    const QuitPoint& point = GetParam();
    Floppies({{"first.txt", 25000}, {"second.bin", kFloppy}});
    m_answers[point.code] = point.answers;
    EXPECT_FALSE(Install());
    const DWORD error = GetLastError();
    if (point.error) {
        EXPECT_EQ(point.error, error);
    } else {
        EXPECT_FALSE(error >= SETUP_E_VERSION && error <= SETUP_E_COPY) << std::hex << error;
    }
    EXPECT_FALSE(Exists(Dest(point.notThere)));
    EXPECT_EQ(kNone, Logged("error"));
    EXPECT_EQ(kNone, TempFilesLeft());
}

INSTANTIATE_TEST_SUITE_P(
    Points, Quit,
    ::testing::Values(QuitPoint{"uninstaller_status", SETUPCB_STATUSTEXT, {0}, 0, UNINSTALLER_NAME},
                      QuitPoint{"uninstaller_progress", SETUPCB_PROGRESS, {0}, SETUP_E_CANCELLED, UNINSTALLER_NAME},
                      QuitPoint{"file_status", SETUPCB_STATUSTEXT, {1, 0}, 0, "first.txt"},
                      QuitPoint{"progress_mid_file", SETUPCB_PROGRESS, {1, 1, 0}, SETUP_E_CANCELLED, "first.txt"},
                      QuitPoint{"disk_prompt", SETUPCB_INSERTDISK, {0}, SETUP_E_CANCELLED, "second.bin"}),
    [](const ::testing::TestParamInfo<QuitPoint>& info) { return std::string(info.param.where); });

// Volumes that do not hold what the description promises, with second.bin
// written or stepped over: the copy fails with the general report instead
// of asking for a disk that cannot exist.
struct Damage {
    const char* what;
    int mediaType;
    size_t first, second;
    int volume;  // the volume changed, -1: the one in source\ (volume 0)
    long bytes;  // cut from it (negative: added)
    bool skipSucceeds;
};

class DamagedData : public TransferTest, public ::testing::WithParamInterface<std::tuple<Damage, bool>> {};

TEST_P(DamagedData, FailsCleanly)
{
    const Damage& damage = std::get<0>(GetParam());
    const bool stepOver = std::get<1>(GetParam());
    json j = NewManifest(damage.mediaType);
    AddFile(j["application"], "first.bin", damage.first, 1);
    AddFile(j["application"], "second.bin", damage.second, 2);
    BuildMedium(j);
    const std::string volume = damage.volume < 0 ? m_strSource + "\\Data.dat" : VolumePath(damage.volume);
    fs::resize_file(volume, fs::file_size(volume) - damage.bytes);
    if (stepOver) {
        Place(Dest("second.bin"), "kept", true);
        m_answers[SETUPCB_READONLY] = {2};
    }
    if (stepOver && damage.skipSucceeds) {
        EXPECT_TRUE(Install());  // the damaged volume is never opened
        return;
    }
    EXPECT_FALSE(Install());
    EXPECT_EQ(Lines{"error 0"}, Logged("error"));
    EXPECT_EQ(stepOver ? "kept" : "", Read(Dest("second.bin")));
    EXPECT_EQ(kNone, TempFilesLeft());
}

INSTANTIATE_TEST_SUITE_P(
    Volumes, DamagedData,
    ::testing::Combine(
        ::testing::Values(Damage{"single volume cut short", 2, 5000, 3000, -1, 10, false},
                          Damage{"middle volume short", 1, kFloppy - 10, kFloppy + 50000, 1, 1000, true},
                          Damage{"last volume cut short", 1, 1000, kFloppy, 1, 10, false},
                          Damage{"later volume over its capacity", 1, kFloppy + 10, 10, 1, -long(kFloppy), false}),
        ::testing::Bool()));

// One byte damaged under its checksum: a file whose bytes are read fails the
// copy with SETUP_E_DAMAGED before it takes its target's place, naming
// itself and the disks its bytes lie on; bytes stepped over are not read,
// so not checked. first.bin lies on volume 0, second.bin runs into volume 1,
// third.bin lies on volume 1.
struct DamagedByte {
    const char* what;
    int volume;   // the volume damaged; -1: _Uninst.ex_
    long offset;  // into its payload (or the uninstaller)
    bool keepSecond;
    DamagedFile named;  // no name: the install goes through
};

class DamagedBytes : public TransferTest, public ::testing::WithParamInterface<DamagedByte> {};

TEST_P(DamagedBytes, NeverTakeTheirTargetsPlace)
{
    const DamagedByte& row = GetParam();
    Floppies({{"first.bin", 1000}, {"second.bin", kFloppy}, {"third.bin", 500}});
    if (row.volume < 0)
        FlipByte(m_strSource + "\\" + UNINSTALLER_SOURCE_NAME, row.offset);
    else
        FlipByte(row.volume == 0 ? m_strSource + "\\" + DATA_FILE_NAME : VolumePath(row.volume),
                 DATA_VOLUME_HEADER_SIZE + row.offset);
    if (row.keepSecond) {
        Place(Dest("second.bin"), "kept", true);
        m_answers[SETUPCB_READONLY] = {2};
    }
    const BOOL installed = Install();
    const DWORD error = GetLastError();
    EXPECT_EQ(kNone, Logged("error"));  // the install sequence words it
    EXPECT_EQ(kNone, TempFilesLeft());
    if (row.named.strName.empty()) {
        EXPECT_TRUE(installed) << std::hex << error;
        EXPECT_EQ("kept", Read(Dest("second.bin")));
        EXPECT_TRUE(Installed(Dest("third.bin"), "third.bin"));
        return;
    }
    EXPECT_FALSE(installed);
    EXPECT_EQ(SETUP_E_DAMAGED, error) << std::hex << error;
    const DamagedFile& named = m_engine.GetDamagedFile();
    EXPECT_EQ(row.named.strName, named.strName);
    EXPECT_EQ(row.named.wFirstDisk, named.wFirstDisk);
    EXPECT_EQ(row.named.wLastDisk, named.wLastDisk);
    const std::string target = named.strName == UNINSTALLER_SOURCE_NAME ? UNINSTALLER_NAME : named.strName;
    EXPECT_FALSE(Exists(Dest(target)));
}

INSTANTIATE_TEST_SUITE_P(
    UnderTheirChecksums, DamagedBytes,
    ::testing::Values(DamagedByte{"file_on_disk_1", 0, 10, false, {"first.bin", 0, 0}},
                      DamagedByte{"file_across_disks_damaged_on_disk_1", 0, 5000, false, {"second.bin", 0, 1}},
                      DamagedByte{"file_across_disks_damaged_on_disk_2", 1, 500, false, {"second.bin", 0, 1}},
                      DamagedByte{"file_on_disk_2", 1, 1200, false, {"third.bin", 1, 1}},
                      DamagedByte{"file_stepped_over", 1, 500, true, {}},
                      DamagedByte{"uninstaller", -1, 10, false, {UNINSTALLER_SOURCE_NAME, 0, 0}}),
    [](const ::testing::TestParamInfo<DamagedByte>& info) { return std::string(info.param.what); });

TEST_F(TransferTest, UnreadableDataVolume)
{
    Floppies({{"first.bin", 100}});
    HeldFile held(m_strSource + "\\Data.dat");
    EXPECT_FALSE(Install());
    EXPECT_EQ(1u, Logged("box 16 Can't access to the file " + m_strSource + "\\Data.dat.").size());
    EXPECT_EQ(kNone, Logged("disk"));
}

// The causes that the failures above do not reach.
TEST_F(TransferTest, FileExceptionReports)
{
    const std::string file = "C:\\dir\\name.dll";
    const std::string access = ".\r\nThere has likely occurred an access-violation.";
    const CFileException notFound(CFileException::fileNotFound, 2), badPath(CFileException::badPath, 3, "D:\\other.txt");
    const CUserException quit;
    const CArchiveException archive(CArchiveException::endOfFile);
    const struct {
        const CException* error;
        Lines log;
    } rows[] = {
        {nullptr, {"error 0"}},
        {&quit, {}},
        {&archive, {"error 0"}},
        {&notFound, {"box 16 Can't copy the file name.dll" + access}},
        {&badPath, {"box 16 Can't copy the file other.txt" + access}},
    };
    for (const auto& row : rows) {
        m_log.clear();
        m_engine.ReportFileException(row.error, file);
        EXPECT_EQ(row.log, m_log) << (row.error ? row.error->what() : "no error");
    }
}

}  // namespace

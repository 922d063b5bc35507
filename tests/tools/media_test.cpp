// Building media and reading them back: build -> dump -> verify round trips,
// the volume boundaries of floppy media, verify's findings on damaged media,
// and builds that fail without leaving anything behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "model/install_mngr.h"
#include "tests/tools/manifest_fixture.h"
#include "tests/tools/pe_image_builder.h"
#include "tools/setupedit/description_file.h"
#include "tools/setupedit/dump.h"
#include "tools/setupedit/manifest.h"
#include "tools/setupedit/checksums.h"
#include "tools/setupedit/media_writer.h"
#include "tools/setupedit/seal.h"
#include "tools/setupedit/tool_error.h"
#include "tools/setupedit/verify.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr std::uint64_t kFloppy0 = 1199998;
constexpr std::uint64_t kFloppy1 = 1439998;

std::string Slurp(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Spit(const fs::path& p, const std::string& s)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << s;
}

// Distinct bytes, so that a misplaced byte shows in a comparison.
std::string Pattern(std::size_t n, unsigned seed)
{
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 8)) & 0xFF);
    return s;
}

std::vector<std::string> Entries(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class MediaTest : public ::testing::Test {
protected:
    fs::path Out() const { return fs::path(m_folder.Root()) / "out"; }
    fs::path Disk(int n) const { return Out() / ("disk" + std::to_string(n)); }
    BuildSummary Build(const json& j) { return BuildMedia(LoadManifest(m_folder.Write(j)), Out()); }
    std::vector<std::string> Problems(std::vector<fs::path> disks) { return VerifyMedia(disks).problems; }
    // The first problem's text, or "" when verify finds none.
    std::string FirstProblem(std::vector<fs::path> disks)
    {
        std::vector<std::string> p = Problems(disks);
        return p.empty() ? std::string() : p[0];
    }
    // A manifest of one media type over files of the given sizes, all in Applikation.
    json Sized(int mediaType, const std::vector<std::size_t>& sizes)
    {
        json j = m_folder.Valid();
        j["mediaType"] = mediaType;
        j["application"] = {{"files", json::array()}};
        j.erase("system");
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            std::string name = "f" + std::to_string(i) + ".bin";
            m_folder.Put(name, Pattern(sizes[i], static_cast<unsigned>(i)));
            j["application"]["files"].push_back({{"source", name}});
        }
        return j;
    }

    ManifestFolder m_folder;
};

TEST_F(MediaTest, BuildDumpVerifyRoundTrip)
{
    json j = m_folder.Valid();
    std::vector<std::uint8_t> pe = BuildPeImage(true, 0x00020001, 0x00000007);
    m_folder.Put("bin/tool.exe", std::string(pe.begin(), pe.end()));
    m_folder.Put("Setup.exe", "MZ setup program");
    j["setupExe"] = "Setup.exe";
    BuildSummary s = Build(j);
    EXPECT_EQ(1u, s.volumes.size());
    EXPECT_EQ((std::vector<std::string>{"Data.dat", "Setup.crc", "Setup.dat", "Setup.exe", "_Uninst.ex_"}),
              Entries(Disk(1)));
    EXPECT_EQ((std::vector<std::string>{"disk1"}), Entries(Out()));
    EXPECT_EQ("MZ setup program", Slurp(Disk(1) / "Setup.exe"));
    EXPECT_EQ(Slurp(m_folder.Path("uninst.exe")), Slurp(Disk(1) / "_Uninst.ex_"));

    CSetupEdit ed;
    EXPECT_EQ(s.setupDatBytes, LoadDescription(Disk(1) / "Setup.dat", ed));
    EXPECT_EQ(s.setupDatBytes, StoredLength(ed));
    json d = DumpJson(ed);
    EXPECT_EQ("00000000524C54560000000000000000", d["identity"]);
    EXPECT_EQ("0x56544C52", d["productId"]);
    EXPECT_EQ("Vantler", d["title"]);
    EXPECT_EQ("\\Vantler", d["destDir"]);
    EXPECT_EQ("Welcome", d["infoTitle"]);
    EXPECT_EQ("Welcome\r\nto the product.\r\n", d["infoText"]);
    EXPECT_EQ(2, d["mediaType"]);
    EXPECT_EQ(258, d["opaqueWord"]);
    EXPECT_EQ(3, d["opaqueDword"]);
    EXPECT_EQ(7, d["extraBytes"]);
    EXPECT_EQ(300, d["uninstBytes"]);
    EXPECT_EQ(pe.size() + 2000 + 26, d["appBytes"].get<std::size_t>());
    EXPECT_EQ(500, d["sysBytes"]);
    EXPECT_EQ((json{"Applikation", "Applikation\\Docs", "WinSys"}), d["dirs"]);

    const json& files = d["files"];
    ASSERT_EQ(4u, files.size());
    EXPECT_EQ("Applikation\\Docs\\read.txt", files[0]["path"]);
    EXPECT_EQ("tool.exe", files[1]["name"]);
    EXPECT_EQ(4, files[1]["flags"]);
    EXPECT_EQ("2.1.0.7", files[1]["productVersion"]);
    EXPECT_EQ("5.6.7.8", files[1]["fileVersion"]);
    EXPECT_EQ("0.0.0.0", files[2]["productVersion"]);
    EXPECT_EQ((json{"selfreg", "shared"}), files[2]["flagNames"]);
    EXPECT_EQ("WinSys\\rt.dll", files[3]["path"]);
    EXPECT_EQ(10, files[3]["flags"]);

    // The payload holds the files back to back in the order the dump lists them.
    const char* sources[] = {"doc/read.txt", "bin/tool.exe", "bin/lib.ocx", "sys/rt.dll"};
    std::string expected("\0\0", 2);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Slurp(m_folder.Path(sources[i])).size(), files[i]["size"].get<std::size_t>());
        expected += Slurp(m_folder.Path(sources[i]));
    }
    EXPECT_EQ(expected, Slurp(Disk(1) / "Data.dat"));
    EXPECT_EQ("", FirstProblem({Disk(1)}));

    std::ostringstream text;
    DumpText(ed, "Setup.dat", text);
    EXPECT_NE(std::string::npos, text.str().find("tool.exe")) << text.str();
    EXPECT_NE(std::string::npos, text.str().find("2.1.0.7  shortcut")) << text.str();
    EXPECT_NE(std::string::npos, text.str().find("    | to the product.\n")) << text.str();
}

TEST_F(MediaTest, AFileEndingExactlyAtTheCapacity)
{
    BuildSummary s = Build(Sized(0, {kFloppy0 - 10, 10, 5}));
    EXPECT_EQ((std::vector<std::uint64_t>{kFloppy0, 5}), s.volumes);
    std::string d1 = Slurp(Disk(1) / "Data.dat");
    std::string d2 = Slurp(Disk(2) / "Data.dat");
    ASSERT_EQ(kFloppy0 + 2, d1.size());
    EXPECT_EQ(Pattern(10, 1), d1.substr(d1.size() - 10));
    EXPECT_EQ(std::string("\1\0", 2) + Pattern(5, 2), d2);
    EXPECT_EQ("", FirstProblem({Disk(1), Disk(2)}));

    // Exactly one volume's worth: no second volume at all.
    Build(Sized(1, {kFloppy1 - 1, 1}));
    EXPECT_EQ((std::vector<std::string>{"disk1"}), Entries(Out()));
    EXPECT_EQ(kFloppy1 + 2, fs::file_size(Disk(1) / "Data.dat"));
    EXPECT_EQ("", FirstProblem({Disk(1)}));
}

TEST_F(MediaTest, AFileRunningAcrossVolumes)
{
    BuildSummary s = Build(Sized(1, {100, 2 * kFloppy1 + 1000}));
    EXPECT_EQ((std::vector<std::uint64_t>{kFloppy1, kFloppy1, 1100}), s.volumes);
    std::string joined = Slurp(Disk(1) / "Data.dat").substr(2) + Slurp(Disk(2) / "Data.dat").substr(2) +
                         Slurp(Disk(3) / "Data.dat").substr(2);
    EXPECT_EQ(Pattern(100, 0) + Pattern(2 * kFloppy1 + 1000, 1), joined);
    EXPECT_EQ(std::string("\2\0", 2), Slurp(Disk(3) / "Data.dat").substr(0, 2));
    VerifyReport rep = VerifyMedia({Disk(1), Disk(2), Disk(3)});
    EXPECT_TRUE(rep.problems.empty());
    EXPECT_TRUE(rep.warnings.empty());

    // A setup program beside a full volume no longer fits a real 1.44 MB floppy:
    // a warning for that disk, not a problem.
    Spit(Disk(1) / "Setup.exe", std::string(20000, 's'));
    rep = VerifyMedia({Disk(1), Disk(2), Disk(3)});
    EXPECT_TRUE(rep.problems.empty());
    ASSERT_EQ(1u, rep.warnings.size());
    EXPECT_NE(std::string::npos, rep.warnings[0].find("disk1: its files take 1,462,272 bytes on a floppy, more than the 1,457,664")) << rep.warnings[0];
}

TEST_F(MediaTest, DiskOneIsCutToFitItsFloppyBesideTheSetupFiles)
{
    struct Row {
        int mediaType;
        std::uint64_t floppy;
        std::size_t capacity;
    } rows[] = {{0, 1213952, kFloppy0}, {1, 1457664, kFloppy1}};
    for (const Row& row : rows) {
        json j = Sized(row.mediaType, {100, 3 * row.capacity});
        m_folder.Put("Setup.exe", std::string(150000, 's'));
        j["setupExe"] = "Setup.exe";
        BuildSummary s = Build(j);
        // Setup.dat, _Uninst.ex_, Setup.exe and Setup.crc, each in whole clusters.
        const std::uint64_t others = (fs::file_size(Disk(1) / "Setup.dat") + 511) / 512 * 512 + 512 + 150016 + 512;
        const std::uint64_t first = row.floppy - others - 2;
        EXPECT_EQ((std::vector<std::uint64_t>{first, row.capacity, row.capacity, 3 * row.capacity + 100 - first - 2 * row.capacity}),
                  s.volumes);
        VerifyReport rep = VerifyMedia({Disk(1), Disk(2), Disk(3), Disk(4)});
        EXPECT_TRUE(rep.problems.empty()) << rep.problems[0];
        EXPECT_TRUE(rep.warnings.empty()) << rep.warnings[0];

        // Volumes between the first and the last must still be full.
        std::string d2 = Slurp(Disk(2) / "Data.dat");
        Spit(Disk(2) / "Data.dat", d2.substr(0, d2.size() - 1));
        EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Disk(2), Disk(3), Disk(4)})
                                         .find("every volume between the first and the last must hold"));
    }
    // Setup files that leave no room for Data.dat on the floppy.
    json j = Sized(1, {10});
    m_folder.Put("Setup.exe", std::string(1457664, 's'));
    j["setupExe"] = "Setup.exe";
    EXPECT_THROW(Build(j), ToolError);
}

TEST_F(MediaTest, VerifyFindsDamagedVolumes)
{
    Build(Sized(1, {kFloppy1 + 500}));
    // Volumes out of order, or a wrong number in a volume.
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Disk(1)}).find("holds volume number 0, expected 1"));
    std::string d2 = Slurp(Disk(2) / "Data.dat");
    Spit(Disk(2) / "Data.dat", std::string("\5\0", 2) + d2.substr(2));
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Disk(2)}).find("holds volume number 5, expected 1"));
    Spit(Disk(2) / "Data.dat", d2);

    // A missing volume.
    std::string missing = FirstProblem({Disk(1)});
    EXPECT_NE(std::string::npos, missing.find("500 missing: 2 volumes expected, 1 given")) << missing;
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Out() / "disk9"}).find("missing (volume 1)"));

    // A short first volume may be (it shares its floppy with the setup
    // files); the payload then falls short.
    std::string d1 = Slurp(Disk(1) / "Data.dat");
    Spit(Disk(1) / "Data.dat", d1.substr(0, d1.size() - 1));
    std::vector<std::string> p = Problems({Disk(1), Disk(2)});
    ASSERT_EQ(1u, p.size());
    EXPECT_NE(std::string::npos, p[0].find("(1 missing"));
    // A volume too long for the media type, and a payload longer than the files.
    Spit(Disk(1) / "Data.dat", d1 + "x");
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Disk(2)}).find("more than a volume of media type 1 holds"));
    Spit(Disk(1) / "Data.dat", d1);
    Spit(Disk(2) / "Data.dat", d2 + "xy");
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Disk(2)}).find("2 more than the files need"));
    Spit(Disk(2) / "Data.dat", "\1");
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Disk(2)}).find("too short for a volume number"));
}

TEST_F(MediaTest, VerifyChecksTheDescriptionAndDiskOne)
{
    Build(m_folder.Valid());
    fs::remove(Disk(1) / "Setup.crc");  // a medium of an older setupedit
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1), Disk(1)}).find("has a single volume, but 2 folders"));

    std::string dat = Slurp(Disk(1) / "Setup.dat");
    Spit(Disk(1) / "Setup.dat", dat + "zz");
    EXPECT_NE(std::string::npos, FirstProblem({Disk(1)}).find("2 bytes follow the end of the record"));
    Spit(Disk(1) / "Setup.dat", dat.substr(0, dat.size() - 3));
    EXPECT_THROW(VerifyMedia({Disk(1)}), ToolError);
    Spit(Disk(1) / "Setup.dat", "XXXX" + dat.substr(4));
    EXPECT_THROW(VerifyMedia({Disk(1)}), ToolError);
    Spit(Disk(1) / "Setup.dat", dat);

    // Sizes in the description that disagree with its tree and with disk 1.
    CSetupEdit ed;
    LoadDescription(Disk(1) / "Setup.dat", ed);
    ed.m_dwSysBytes += 1;
    ed.m_dwUninstBytes += 1;
    {
        CFile f((Disk(1) / "Setup.dat").string().c_str(), CFile::modeCreate | CFile::modeWrite);
        ed.StoreRecord(f);
    }
    std::vector<std::string> p = Problems({Disk(1)});
    ASSERT_EQ(2u, p.size());
    EXPECT_NE(std::string::npos, p[0].find("system bytes are 501, but the files under WinSys hold 500"));
    EXPECT_NE(std::string::npos, p[1].find("_Uninst.ex_: 300 bytes, the description says 301"));
    fs::remove(Disk(1) / "_Uninst.ex_");
    EXPECT_NE(std::string::npos, Problems({Disk(1)}).at(1).find("_Uninst.ex_: missing"));
}

// Flips the lowest bit of the byte at offset (from the end when negative).
void Flip(const fs::path& file, long offset)
{
    std::string bytes = Slurp(file);
    bytes[offset < 0 ? bytes.size() + offset : offset] ^= 1;
    Spit(file, bytes);
}

const char* const DIFFERS = ": damaged: its bytes differ from their checksum in Setup.crc";

// One byte damaged anywhere: verify names the file and the volumes its
// bytes lie in. A checksum file that is damaged, of another description or
// of a version it does not know is named instead.
TEST_F(MediaTest, VerifyNamesTheDamagedFileByItsChecksum)
{
    Build(Sized(1, {100, kFloppy1 + 1000}));  // f1.bin runs from volume 0 into volume 1
    const std::vector<fs::path> disks = {Disk(1), Disk(2)};
    VerifyReport rep = VerifyMedia(disks);
    EXPECT_TRUE(rep.problems.empty());
    EXPECT_TRUE(rep.sealed);
    EXPECT_EQ(4u, rep.checksums);

    const std::string title = Slurp(Disk(1) / "Setup.dat");
    const struct {
        const char* what;
        fs::path file;
        long offset;
        std::string problem;
    } rows[] = {
        {"a file on disk 1", Disk(1) / "Data.dat", 2 + 50,
         "Applikation\\f0.bin in volume 0 (" + (Disk(1) / "Data.dat").string() + ")" + DIFFERS},
        {"a file across two volumes, on the second", Disk(2) / "Data.dat", 2 + 500,
         "Applikation\\f1.bin in volumes 0 and 1 (" + (Disk(1) / "Data.dat").string() + " and " +
             (Disk(2) / "Data.dat").string() + ")" + DIFFERS},
        {"the uninstaller", Disk(1) / "_Uninst.ex_", 10, (Disk(1) / "_Uninst.ex_").string() + DIFFERS},
        {"the product title in Setup.dat", Disk(1) / "Setup.dat", static_cast<long>(title.find("Vantler")),
         (Disk(1) / "Setup.dat").string() + DIFFERS},
        {"Setup.crc itself", Disk(1) / "Setup.crc", 20,
         (Disk(1) / "Setup.crc").string() + ": damaged: its signature, length or own checksum is wrong"},
        {"Setup.crc of a newer format", Disk(1) / "Setup.crc", 4,
         (Disk(1) / "Setup.crc").string() + ": a format version this setupedit does not know"},
    };
    for (const auto& row : rows) {
        const std::string good = Slurp(row.file);
        Flip(row.file, row.offset);
        EXPECT_EQ((std::vector<std::string>{row.problem}), Problems(disks)) << row.what;
        Spit(row.file, good);
    }

    // Checksums of another description: one file more, or another size.
    CSetupEdit ed;
    LoadDescription(Disk(1) / "Setup.dat", ed);
    CMediumChecksums other = ChecksumsOfMedium(disks, ed);
    other.m_entries.push_back(FileChecksum());
    WriteChecksumFile(Disk(1), other);
    EXPECT_NE(std::string::npos,
              FirstProblem(disks).find("Setup.crc: belongs to another description: it lists 3 files, Setup.dat 2"));
    other.m_entries.pop_back();
    other.m_entries.back().dwSize -= 1;
    WriteChecksumFile(Disk(1), other);
    EXPECT_NE(std::string::npos, FirstProblem(disks).find("the sizes it lists differ from Setup.dat's"));
}

TEST_F(MediaTest, SealAddsTheChecksumFileToAMediumWithoutOne)
{
    Build(Sized(1, {100, kFloppy1 + 1000}));
    const std::vector<fs::path> disks = {Disk(1), Disk(2)};
    const std::string built = Slurp(Disk(1) / "Setup.crc");
    fs::remove(Disk(1) / "Setup.crc");  // as an older setupedit built it
    EXPECT_FALSE(VerifyMedia(disks).sealed);

    bool written = false;
    VerifyReport rep = SealMedium(disks, written);
    EXPECT_TRUE(written);
    EXPECT_TRUE(rep.problems.empty());
    EXPECT_EQ(4u, rep.checksums);
    EXPECT_EQ(built, Slurp(Disk(1) / "Setup.crc"));  // what build writes, byte for byte

    // Sealed already: nothing is written, nor over damage found since.
    SealMedium(disks, written);
    EXPECT_FALSE(written);
    Flip(Disk(2) / "Data.dat", 2 + 500);
    rep = SealMedium(disks, written);
    EXPECT_FALSE(written);
    ASSERT_EQ(1u, rep.problems.size());
    EXPECT_NE(std::string::npos, rep.problems[0].find("f1.bin in volumes 0 and 1"));
    EXPECT_EQ(built, Slurp(Disk(1) / "Setup.crc"));

    // A medium whose structure is unsound gets no checksums at all.
    Flip(Disk(2) / "Data.dat", 2 + 500);
    fs::remove(Disk(1) / "Setup.crc");
    const std::string last = Slurp(Disk(2) / "Data.dat");
    Spit(Disk(2) / "Data.dat", last.substr(0, last.size() - 1));
    rep = SealMedium(disks, written);
    EXPECT_FALSE(written);
    EXPECT_FALSE(rep.problems.empty());
    EXPECT_FALSE(fs::exists(Disk(1) / "Setup.crc"));
    EXPECT_EQ((std::vector<std::string>{"Data.dat", "Setup.dat", "_Uninst.ex_"}), Entries(Disk(1)));
}

TEST_F(MediaTest, FailedBuildsLeaveNothingBehind)
{
    auto expectClean = [&] {
        EXPECT_FALSE(fs::exists(Out()));
        for (const std::string& name : Entries(m_folder.Root()))
            EXPECT_EQ(std::string::npos, name.find("out.")) << name;  // no staging folders
    };
    json bad = m_folder.Valid();
    bad["application"]["dirs"][0]["name"] = "..";
    EXPECT_THROW(Build(bad), ToolError);
    expectClean();

    // A source that disappears between reading the manifest and writing the media.
    Manifest m = LoadManifest(m_folder.Write(m_folder.Valid()));
    fs::remove(m_folder.Path("sys/rt.dll"));
    EXPECT_THROW(BuildMedia(m, Out()), ToolError);
    expectClean();

    // A source that grew, and one that shrank.
    for (std::size_t size : {2001, 1999}) {
        m = LoadManifest(m_folder.Write(m_folder.Valid()));
        m_folder.Put("bin/lib.ocx", std::string(size, 'o'));
        EXPECT_THROW(BuildMedia(m, Out()), ToolError);
        expectClean();
    }

    // Too much for one directory volume.
    m = LoadManifest(m_folder.Write(m_folder.Valid()));
    m.sysBytes = 0xFFFFFFFFu;
    EXPECT_THROW(BuildMedia(m, Out()), ToolError);
    expectClean();

    // A missing parent folder of OUTDIR.
    m = LoadManifest(m_folder.Write(m_folder.Valid()));
    EXPECT_THROW(BuildMedia(m, Out() / "sub"), ToolError);
    expectClean();
}

TEST_F(MediaTest, AnEarlierBuildIsReplacedAndAnythingElseKept)
{
    Build(Sized(1, {kFloppy1 + 1}));
    EXPECT_TRUE(fs::exists(Disk(2)));
    Build(m_folder.Valid());
    EXPECT_EQ((std::vector<std::string>{"disk1"}), Entries(Out()));

    // A failed rebuild keeps the earlier build as it was.
    json bad = m_folder.Valid();
    bad["mediaType"] = 9;
    EXPECT_THROW(Build(bad), ToolError);
    EXPECT_EQ("", FirstProblem({Disk(1)}));

    m_folder.Put("out/notes.txt", "mine");
    EXPECT_THROW(Build(m_folder.Valid()), ToolError);
    EXPECT_EQ("mine", Slurp(Out() / "notes.txt"));
    EXPECT_TRUE(fs::exists(Disk(1) / "Setup.dat"));
}

TEST_F(MediaTest, DamagedDescriptionsAreRefusedOrListedSafely)
{
    Build(m_folder.Valid());
    const std::string good = Slurp(Disk(1) / "Setup.dat");
    const fs::path damaged = Out() / "damaged.dat";
    auto tryAll = [&](const std::string& bytes) {
        Spit(damaged, bytes);
        CSetupEdit ed;
        try {
            LoadDescription(damaged, ed);
        } catch (const ToolError&) {
            return false;
        }
        std::ostringstream text;
        DumpText(ed, "damaged.dat", text);
        DumpJson(ed).dump();  // every name converts to valid UTF-8
        return true;
    };
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(tryAll(good.substr(0, n))) << "length " << n;
    EXPECT_TRUE(tryAll(good));
    std::mt19937 rnd(7);
    for (int round = 0; round < 2000; ++round) {
        std::string b = good;
        for (int k = 0; k < 3; ++k)
            b[rnd() % b.size()] = static_cast<char>(rnd());
        tryAll(b);
    }
}

#ifdef SETUPEDIT_EXE
// The command line: exit codes and the message on standard error.
int RunTool(const std::string& args, const std::string& log)
{
    std::string cmd = std::string(SETUPEDIT_EXE) + " " + args + " >" + log + " 2>&1";
    int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST_F(MediaTest, CommandLine)
{
    std::string log = m_folder.Path("log.txt");
    std::string manifest = m_folder.Write(m_folder.Valid());
    EXPECT_EQ(0, RunTool("build " + manifest + " " + Out().string(), log));
    EXPECT_EQ(0, RunTool("verify " + Disk(1).string(), log));
    EXPECT_NE(std::string::npos, Slurp(log).find("all 6 checksums in Setup.crc match: sound"));
    EXPECT_EQ(0, RunTool("dump " + (Disk(1) / "Setup.dat").string() + " --json", log));
    EXPECT_EQ(4u, json::parse(Slurp(log))["files"].size());
    // The medium's folder stands for its disks; seal adds what an older build lacks.
    fs::remove(Disk(1) / "Setup.crc");
    EXPECT_EQ(0, RunTool("verify " + Out().string(), log));
    EXPECT_NE(std::string::npos, Slurp(log).find("no checksum file: sound"));
    EXPECT_EQ(0, RunTool("seal " + Out().string(), log));
    EXPECT_NE(std::string::npos, Slurp(log).find("Setup.crc: written\n"));
    EXPECT_NE(std::string::npos, Slurp(log).find("all 6 checksums in Setup.crc match: sound"));
    Flip(Disk(1) / "Data.dat", 10);
    EXPECT_EQ(1, RunTool("verify " + Out().string(), log));
    EXPECT_NE(std::string::npos, Slurp(log).find("setupedit: verify: Applikation\\Docs\\read.txt in volume 0"));
    EXPECT_EQ(1, RunTool("verify " + Disk(1).string() + " " + Disk(1).string(), log));
    EXPECT_NE(std::string::npos, Slurp(log).find("setupedit: verify: media type 2 has a single volume"));
    EXPECT_EQ(2, RunTool("frobnicate", log));

    json bad = m_folder.Valid();
    bad["mediaType"] = 4;
    manifest = m_folder.Write(bad, "bad.json");
    EXPECT_EQ(1, RunTool("build " + manifest + " " + m_folder.Path("out2"), log));
    EXPECT_EQ("setupedit: " + manifest + ": mediaType: 4 is larger than 3\n", Slurp(log));
    EXPECT_FALSE(fs::exists(m_folder.Path("out2")));
}
#endif

}  // namespace

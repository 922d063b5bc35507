// The demo projects' patch on real form files: what is replaced, what stays,
// and that a write the disk refuses leaves the old form file whole.
#include <gtest/gtest.h>

#include "engine/setup_engine.h"
#include "model/tracked_block.h"
#include "tests/engine/engine_support.h"
#include "tests/samples/sample_paths.h"
#include "tests/support/temp_dir.h"

namespace {

const std::string OLD_PATH = "C:\\PROJEKTE\\Language\\English\\Joust.vtr";

struct ReplaceRow {
    const char* name;
    std::string contents, replacement, expected;
};

const ReplaceRow REPLACE_ROWS[] = {
    {"only the first of two", "A=\"" + OLD_PATH + "\"\r\nB=\"" + OLD_PATH + "\"\r\n", "D:\\J.vtr",
     "A=\"D:\\J.vtr\"\r\nB=\"" + OLD_PATH + "\"\r\n"},
    {"longer replacement", "head " + OLD_PATH + " tail\r\n", "E:\\Program Files\\Vantler\\VB\\Joust\\Joust.vtr",
     "head E:\\Program Files\\Vantler\\VB\\Joust\\Joust.vtr tail\r\n"},
    {"shorter replacement, no stale tail", "head " + OLD_PATH + " tail\r\n", "V:\\J.vtr", "head V:\\J.vtr tail\r\n"},
    {"text at the very end", "x" + OLD_PATH, "y", "xy"},
    {"text not there (patched before)", "head D:\\J.vtr tail", "Z:\\other.vtr", "head D:\\J.vtr tail"},
    {"case differs", "c:\\projekte\\language\\english\\joust.vtr", "Z:\\J.vtr", "c:\\projekte\\language\\english\\joust.vtr"},
    {"empty file", "", "Z:\\J.vtr", ""},
};

}  // namespace

TEST(DemoPatch, ReplacesTheFirstOccurrenceOnly)
{
    const WORD blocks = GetTrackedBlockCount();
    for (const ReplaceRow& row : REPLACE_ROWS) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string form = dir.WriteFile("Form1.frm", row.contents);
        EXPECT_TRUE(ReplaceInFile(form, OLD_PATH, row.replacement));
        EXPECT_EQ(row.expected, Read(form));
        EXPECT_EQ(Lines{"Form1.frm"}, ListTree(dir.Root()));
    }
    EXPECT_EQ(blocks, GetTrackedBlockCount());
}

TEST(DemoPatch, UnreachableFormFileStaysAsItWas)
{
    TempDir dir;
    EXPECT_FALSE(ReplaceInFile(dir.Path("Form1.frm"), OLD_PATH, "D:\\J.vtr"));
    EXPECT_TRUE(ListTree(dir.Root()).empty());

    const std::string form = dir.WriteFile("Form1.frm", OLD_PATH);
    {
        HeldFile held(form);
        EXPECT_FALSE(ReplaceInFile(form, OLD_PATH, "D:\\J.vtr"));
    }
    EXPECT_EQ(OLD_PATH, Read(form));
}

TEST(DemoPatch, FullDiskKeepsTheOldFormFile)
{
    const std::string drive = SmallDrive();
    if (drive.empty())
        GTEST_SKIP() << NO_SMALL_DRIVE;
    const std::string form = drive + "\\Form1.frm";
    // Long enough that the grown copy needs pages the disk no longer has.
    const std::string contents = std::string(20000, 'a') + OLD_PATH + std::string(20000, 'b');
    Write(form, contents);
    FillDrive(drive + "\\filler");

    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(ReplaceInFile(form, OLD_PATH, std::string(5000, 'n')));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
    EXPECT_EQ(contents, Read(form));
    EXPECT_EQ(Lines(), TempFilesIn(drive));
    DeleteFileA((drive + "\\filler").c_str());
    DeleteFileA(form.c_str());
}

// The engine's post-install function from construction on: both rows, a
// missing form file skipped.
TEST(DemoPatch, PostInstallPointsTheDemosAtTheInstalledFiles)
{
    TempDir dest;
    CreateDirectoryA(dest.Path("VB").c_str(), nullptr);
    CreateDirectoryA(dest.Path("VB\\Q7").c_str(), nullptr);
    const std::string q7Form = dest.Path("VB\\Q7\\Form1.frm");
    ASSERT_TRUE(CopyFileA(StagePath("demo/VB/Q7/Form1.frm").c_str(), q7Form.c_str(), FALSE));
    const std::string before = Read(q7Form);
    const std::string oldQ7 = "\"C:\\PROJEKTE\\Language\\English\\Q7.vtr\"";
    ASSERT_NE(std::string::npos, before.find(oldQ7));

    CSetupEngine engine;
    engine.m_strDestDir = dest.Root();
    engine.RunPostInstallHook();

    std::string expected = before;
    expected.replace(before.find(oldQ7), oldQ7.size(), "\"" + dest.Path("VB\\Q7\\Q7.vtr") + "\"");
    EXPECT_EQ(expected, Read(q7Form));
    EXPECT_FALSE(Exists(dest.Path("VB\\Joust")));
}

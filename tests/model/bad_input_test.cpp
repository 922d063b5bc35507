// Damaged and hostile descriptions: every one must end in the archive's own
// failure (or a foreign signature), with nothing allocated for lengths the
// file cannot hold.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "framework/mem_file.h"
#include "model/archive.h"
#include "model/install_mngr.h"
#include "model/path_component.h"
#include "model/tracked_block.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Header()
{
    Bytes bytes(InstallSignature, InstallSignature + sizeof InstallSignature);
    bytes.resize(28, 0x11);
    return bytes;
}

void AppendDword(Bytes& bytes, DWORD value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

// The tail of a record after its tree: all numbers 0, strings empty, text length L.
void AppendSettings(Bytes& bytes, DWORD textLength)
{
    bytes.insert(bytes.end(), 1 + 2 + 20 + 3, 0);
    AppendDword(bytes, textLength);
    bytes.push_back(0);
}

// -1: foreign signature, 0: loaded, else the archive exception's cause.
int TryLoad(CInstallMngr& record, const Bytes& bytes)
{
    try {
        return record.LoadRecord(*std::make_unique<CMemFile>(bytes.data(), bytes.size())) ? 0 : -1;
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
}

Bytes RealisticRecord()
{
    CInstallMngr r;
    InstallNode* app = r.AddDirectory(r.GetRoot(), "Applikation");
    InstallNode* sys = r.AddDirectory(r.GetRoot(), "WinSys");
    InstallNode* sub = r.AddDirectory(*app, "Samples");
    r.AddFile(*app, "Tessel.exe", 5000, FILE_SHORTCUT);
    r.AddFile(*sys, "Vantler.ocx", 7000, FILE_SELFREG | FILE_SHARED);
    r.AddFile(*sub, "Demo.vtr", 300);
    r.m_strDestDir = "\\Vantler";
    r.m_strProductTitle = "Vantler";
    r.m_strInfoTitle = "Info";
    r.SetInfoText("Some words about the product.");
    CMemFile file;
    r.StoreRecord(file);
    return file.Data();
}

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override { FreeAllTrackedBlocks(); }
    void TearDown() override { FreeAllTrackedBlocks(); }
};

TEST_F(BadInputTest, EveryTruncationFailsCleanly)
{
    const Bytes whole = RealisticRecord();
    for (size_t n = 0; n < whole.size(); ++n) {
        CInstallMngr record;
        int result = TryLoad(record, Bytes(whole.begin(), whole.begin() + n));
        if (n < 28)
            EXPECT_EQ(result, -1) << n;
        else
            EXPECT_EQ(result, CArchiveException::endOfFile) << n;
        EXPECT_EQ(record.m_pInfoText == nullptr, record.m_dwInfoTextLen == 0) << n;
    }
    CInstallMngr record;
    EXPECT_EQ(TryLoad(record, whole), 0);
}

TEST_F(BadInputTest, CountsBeyondTheFileFailBeforeCreatingElements)
{
    for (DWORD count : {0x7FFFFFFFu, 1000u}) {
        Bytes children = Header();
        children.push_back(0);
        AppendDword(children, count);
        children.insert(children.end(), 40, 0);
        CInstallMngr record;
        EXPECT_EQ(TryLoad(record, children), CArchiveException::endOfFile);
        EXPECT_EQ(record.GetRoot().children.GetCount(), 0u);

        Bytes files = Header();
        files.push_back(0);
        AppendDword(files, 0);
        AppendDword(files, count);
        files.insert(files.end(), 40, 0);
        EXPECT_EQ(TryLoad(record, files), CArchiveException::endOfFile);
        EXPECT_EQ(record.GetRoot().files.GetCount(), 0u);
    }
}

TEST_F(BadInputTest, TextLongerThanTheFileAllocatesNothing)
{
    CInstallMngr record;
    record.SetInfoText("old");
    for (DWORD length : {0xFFFFFFFFu, 0x7FFFFFFFu, 6u}) {
        Bytes bytes = Header();
        bytes.insert(bytes.end(), 9, 0);
        AppendSettings(bytes, length);
        bytes.insert(bytes.end(), 5, 'x');
        EXPECT_EQ(TryLoad(record, bytes), CArchiveException::endOfFile) << length;
        EXPECT_EQ(GetTrackedBlockCount(), 0) << length;
        EXPECT_EQ(record.m_pInfoText, nullptr);
        EXPECT_EQ(record.m_dwInfoTextLen, 0u);
    }
}

Bytes Nested(int levels)
{
    Bytes bytes = Header();
    bytes.push_back(0);  // root without directory
    AppendDword(bytes, 1);
    for (int i = 1; i <= levels; ++i) {
        bytes.push_back(1);
        bytes.push_back(1);
        bytes.push_back('d');
        AppendDword(bytes, i < levels ? 1 : 0);
    }
    for (int i = 0; i <= levels; ++i)
        AppendDword(bytes, 0);
    AppendSettings(bytes, 0);
    return bytes;
}

TEST_F(BadInputTest, NestingDeeperThanAnyPathIsRefused)
{
    CInstallMngr record;
    EXPECT_EQ(TryLoad(record, Nested(MAX_TREE_DEPTH)), 0);
    int depth = 0;
    CObject* item;
    for (int kind = record.GetFirstItem(item); kind == TREE_ENTER; kind = record.GetNextItem(item))
        ++depth;
    EXPECT_EQ(depth, MAX_TREE_DEPTH);

    EXPECT_EQ(TryLoad(record, Nested(MAX_TREE_DEPTH + 1)), CArchiveException::genericException);
    EXPECT_EQ(TryLoad(record, Nested(100000)), CArchiveException::genericException);
}

TEST_F(BadInputTest, SubdirectoryWithoutDirectoryObjectIsRefused)
{
    Bytes bytes = Header();
    bytes.push_back(0);
    AppendDword(bytes, 1);
    bytes.push_back(0);  // the child has no directory object
    AppendDword(bytes, 0);
    AppendDword(bytes, 0);
    AppendDword(bytes, 0);
    AppendSettings(bytes, 0);
    CInstallMngr record;
    EXPECT_EQ(TryLoad(record, bytes), CArchiveException::genericException);
}

// Random damage to a valid record: loads or fails cleanly, never anything else.
TEST_F(BadInputTest, RandomDamageFailsCleanly)
{
    const Bytes whole = RealisticRecord();
    std::mt19937 random(20261207);
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = whole;
        int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            size_t at = 28 + random() % (bytes.size() - 28);
            switch (random() % 3) {
            case 0: bytes[at] = static_cast<BYTE>(random()); break;
            case 1: bytes[at] = 0xFF; break;
            default: bytes.erase(bytes.begin() + static_cast<long>(at)); break;
            }
        }
        CInstallMngr record;
        int result = TryLoad(record, bytes);
        ASSERT_TRUE(result == 0 || result == CArchiveException::endOfFile ||
                    result == CArchiveException::genericException)
            << round;
        loaded += result == 0;
        ASSERT_LE(GetTrackedBlockTotal(), bytes.size() + 1);
        FreeAllTrackedBlocks();
    }
    EXPECT_GT(loaded, 0);
}

}  // namespace

// A name that becomes a directory or file on the target is one plain path
// component; anything else could make the copy fail or write elsewhere.
TEST(PathComponent, OnlyPlainNamesPass)
{
    for (const char* good : {"Vantler Help.hlp", "a", "a.b.c", ".profile", "\xE9t\xE9", "COM0", "CONSOLE", "LPT10",
                             "CONOUT", "CLOCK"})
        EXPECT_EQ("", CheckPathComponent(good)) << good;
    for (const char* bad : {"", ".", "..", "a\\b", "a/b", "C:", "x:y", "a*", "a?", "a\"b", "<a", "a>", "a|b", "tab\t",
                            "dot.", "space ", "CON", "con.txt", "Nul", "aux .dll", "Lpt1", "COM9.dll", "prn",
                            "CONOUT$", "conin$", "CLOCK$.txt", "Conout$ .dll"})
        EXPECT_NE("", CheckPathComponent(bad)) << bad;
    EXPECT_TRUE(SameName("\xE9T\xE9.exe", "\xC9t\xC9.EXE"));
    EXPECT_FALSE(SameName("a", "b"));
}

// The installer's layout: two first-level directories (whatever they are
// called), a known media type, and plain names below them.
TEST(InstallLayout, RefusesWhatTheCopyCouldNotInstallSafely)
{
    auto layout = [](int mediaType, const char* subdir, const char* file) {
        CInstallMngr r;
        InstallNode* app = r.AddDirectory(r.GetRoot(), "C:\\bound\\while copying");
        r.AddDirectory(r.GetRoot(), "WinSys");
        r.AddFile(*r.AddDirectory(*app, subdir), file);
        r.m_nMediaType = mediaType;
        return r.HasInstallLayout();
    };
    EXPECT_TRUE(layout(3, "Docs", "read.txt"));
    EXPECT_TRUE(layout(0, "Docs", "..\\old\\read.txt"));  // only the name after the last backslash is used
    EXPECT_FALSE(layout(4, "Docs", "read.txt"));
    EXPECT_FALSE(layout(-1, "Docs", "read.txt"));
    for (const char* dir : {"", ".", "..", "a\\b", "C:", "CON"})
        EXPECT_FALSE(layout(1, dir, "read.txt")) << dir;
    for (const char* file : {"", "a\\..", "NUL.txt", "x:y", "dir\\"})
        EXPECT_FALSE(layout(1, "Docs", file)) << file;

    CInstallMngr one;
    one.AddDirectory(one.GetRoot(), "Applikation");
    EXPECT_FALSE(one.HasInstallLayout());
    // Nothing beside the two directories: no third one, whose stored name
    // would be taken as a path, and no file for the root of the drive.
    one.AddDirectory(one.GetRoot(), "WinSys");
    EXPECT_TRUE(one.HasInstallLayout());
    one.AddFile(one.GetRoot(), "autoexec.bat");
    EXPECT_FALSE(one.HasInstallLayout());
    CInstallMngr three;
    for (const char* name : {"Applikation", "WinSys", "C:\\Windows"})
        three.AddDirectory(three.GetRoot(), name);
    EXPECT_FALSE(three.HasInstallLayout());
}

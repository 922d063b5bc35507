#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/mem_file.h"
#include "model/archive.h"
#include "model/install_mngr.h"
#include "model/tracked_block.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Store(CInstallMngr& record)
{
    CMemFile file;
    record.StoreRecord(file);
    return file.Data();
}

int Load(CInstallMngr& record, const Bytes& bytes)
{
    CMemFile file(bytes.data(), bytes.size());
    return record.LoadRecord(file);
}

// A description as the authoring side would write it.
void FillRealistic(CInstallMngr& r)
{
    InstallNode& root = r.GetRoot();
    InstallNode* app = r.AddDirectory(root, "Applikation");
    InstallNode* sys = r.AddDirectory(root, "WinSys");
    InstallNode* help = r.AddDirectory(*app, "Help");
    InstallNode* vb = r.AddDirectory(*app, "VB");
    InstallNode* joust = r.AddDirectory(*vb, "Joust");
    r.AddFile(*app, "Tessel.exe", 412345, FILE_SHORTCUT);
    CInstalledFile* ocx = r.AddFile(*sys, "Vantler.ocx", 98765, FILE_SELFREG | FILE_SHARED);
    for (int i = 0; i < CInstalledFile::VERSION_INFO_SIZE; ++i)
        ocx->m_VersionInfo[i] = static_cast<BYTE>(0xA0 + i);
    r.AddFile(*sys, "Helper.dll", 4096, FILE_SELFREG_ABSENT | FILE_SHARED);
    r.AddFile(*help, "Tessel.hlp", 70000, FILE_SHORTCUT);
    r.AddFile(*joust, "Form1.frm", 1234);
    r.AddFile(*joust, std::string(300, 'n'), 0);  // a long name takes the longer prefix
    r.m_nMediaType = 1;
    r.m_wOpaque = 0xBEEF;
    r.m_dwAppBytes = 412345 + 70000 + 1234;
    r.m_dwSysBytes = 98765 + 4096;
    r.m_dwOpaque = 0xDEADBEEF;
    r.m_dwUninstBytes = 30000;
    r.m_dwExtraBytes = 5;
    r.m_strDestDir = "\\Vantler";
    r.m_strProductTitle = "Vantler 2.0";
    r.m_strProgramFolder = "Vantler";
    r.m_strInfoTitle = "Read me";
    r.SetInfoText("Welcome.\r\nThis installs Vantler.");
    for (int i = 0; i < IDENTITY_SIZE; ++i)
        r.m_abIdentity[i] = static_cast<BYTE>(i * 7);
}

class InstallMngrTest : public ::testing::Test {
protected:
    void SetUp() override { FreeAllTrackedBlocks(); }
    void TearDown() override { FreeAllTrackedBlocks(); }
};

TEST_F(InstallMngrTest, EmptyRecordIsSixtyEightBytes)
{
    CInstallMngr record;
    Bytes bytes = Store(record);
    Bytes expected{0x23, 0x75, 0x04, 0x03, 1, 0, 0, 0, 0, 0, 0, 0};
    expected.resize(68, 0);
    EXPECT_EQ(bytes, expected);

    CInstallMngr back;
    back.m_nTopIndex = 0;
    EXPECT_EQ(Load(back, bytes), 1);
    EXPECT_EQ(back.m_strMainExe, "Tessel.exe");
    EXPECT_EQ(back.m_pInfoText, nullptr);
    EXPECT_EQ(back.m_dwInfoTextLen, 0u);
    EXPECT_EQ(Store(back), bytes);
}

TEST_F(InstallMngrTest, InfoTextFollowsTheTitle)
{
    CInstallMngr record;
    record.m_strProgramFolder = "PF";
    record.m_strInfoTitle = "T";
    record.SetInfoText("Hello");
    EXPECT_EQ(record.m_dwInfoTextLen, 5u);
    Bytes bytes = Store(record);
    const Bytes tail{0x02, 'P', 'F', 0x05, 0, 0, 0, 0x01, 'T', 'H', 'e', 'l', 'l', 'o'};
    ASSERT_EQ(bytes.size(), 68 + 2 + 1 + 5u);
    EXPECT_EQ(Bytes(bytes.end() - tail.size(), bytes.end()), tail);

    CInstallMngr back;
    ASSERT_EQ(Load(back, bytes), 1);
    ASSERT_NE(back.m_pInfoText, nullptr);
    EXPECT_EQ(std::string(back.m_pInfoText), "Hello");
    EXPECT_EQ(back.m_pInfoText[5], '\0');
    std::vector<TrackedBlockInfo> blocks = GetTrackedBlocks();
    ASSERT_EQ(blocks.size(), 2u);  // the original's text and the loaded one
    EXPECT_EQ(blocks[1].pointer, back.m_pInfoText);
    EXPECT_EQ(blocks[1].size, 6u);

    // Removing the text frees its block and stores a zero length.
    back.SetInfoText(nullptr);
    EXPECT_EQ(GetTrackedBlockCount(), 1);
    back.SetInfoText("");
    EXPECT_EQ(back.m_pInfoText, nullptr);
    EXPECT_EQ(Store(back).size(), 68 + 2 + 1u);
}

TEST_F(InstallMngrTest, RealisticDescriptionRoundTrips)
{
    CInstallMngr record;
    FillRealistic(record);
    Bytes bytes = Store(record);

    CInstallMngr back;
    back.SetInfoText("replaced by the load");
    ASSERT_EQ(Load(back, bytes), 1);
    EXPECT_EQ(Store(back), bytes);
    EXPECT_EQ(back.m_nMediaType, 1);
    EXPECT_EQ(back.m_wOpaque, 0xBEEF);
    EXPECT_EQ(back.m_dwOpaque, 0xDEADBEEFu);
    EXPECT_EQ(back.m_strProductTitle, "Vantler 2.0");
    EXPECT_EQ(std::string(back.m_pInfoText), "Welcome.\r\nThis installs Vantler.");
    EXPECT_EQ(back.GetProductId(), record.GetProductId());
    EXPECT_EQ(GetTrackedBlockCount(), 2);  // the replaced text was freed
    EXPECT_TRUE(back.HasInstallLayout());

    // The files in the order of their contents in the data volumes.
    std::vector<std::string> order;
    CObject* item;
    for (int kind = back.GetFirstItem(item); kind != TREE_END; kind = back.GetNextItem(item))
        if (kind == TREE_FILE)
            order.push_back(static_cast<CInstalledFile*>(item)->GetShortName().substr(0, 10));
    EXPECT_EQ(order, (std::vector<std::string>{"Tessel.hlp", "Form1.frm", "nnnnnnnnnn", "Tessel.exe",
                                               "Vantler.oc", "Helper.dll"}));
}

TEST_F(InstallMngrTest, SetupEditRecordsAreIdentical)
{
    CInstallMngr record;
    CSetupEdit edit;
    FillRealistic(record);
    FillRealistic(edit);
    edit.m_strInputDir = "never";
    edit.m_strOutputDir = "stored";
    EXPECT_EQ(Store(edit), Store(record));
    EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CInstallMngr)));
    EXPECT_EQ(RUNTIME_CLASS(CSetupEdit)->m_wSchema, 1u);
    EXPECT_EQ(RUNTIME_CLASS(CInstallMngr)->m_wSchema, 1u);
    EXPECT_EQ(RUNTIME_CLASS(CInstalledFile)->m_wSchema, 2u);
    EXPECT_EQ(CRuntimeClass::FromName("CSetupEdit"), RUNTIME_CLASS(CSetupEdit));
    EXPECT_NE(CRuntimeClass::FromName("CMemStatus"), nullptr);
}

TEST_F(InstallMngrTest, SignatureAndIdentity)
{
    CInstallMngr record;
    FillRealistic(record);
    Bytes bytes = Store(record);

    // Only the first signature DWORD is checked; a foreign one stops before the identity.
    Bytes other = bytes;
    other[4] = 9;
    CInstallMngr a;
    EXPECT_EQ(Load(a, other), 1);
    other[0] = 0x24;
    CInstallMngr b;
    EXPECT_EQ(Load(b, other), 0);
    EXPECT_EQ(b.m_abIdentity[1], 0);
    EXPECT_EQ(b.GetRoot().children.GetCount(), 0u);

    // The identity block must arrive whole.
    CInstallMngr c;
    EXPECT_EQ(Load(c, Bytes(bytes.begin(), bytes.begin() + 27)), 0);
    EXPECT_EQ(Load(c, Bytes(bytes.begin(), bytes.begin() + 11)), 0);

    // Bytes 4..7 of the identity block name the product; the others do not matter.
    CInstallMngr d;
    Bytes same = bytes;
    same[12] ^= 0xFF;
    same[27] ^= 0xFF;
    ASSERT_EQ(Load(d, same), 1);
    EXPECT_EQ(d.GetProductId(), record.GetProductId());
    same[17] ^= 0x01;
    ASSERT_EQ(Load(d, same), 1);
    EXPECT_NE(d.GetProductId(), record.GetProductId());
}

TEST_F(InstallMngrTest, RecordsThroughRealFiles)
{
    TempDir dir;
    std::string name = dir.Path("Setup.dat");
    CInstallMngr record;
    FillRealistic(record);
    {
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeWrite);
        record.StoreRecord(file);
        file.Close();
    }
    CInstallMngr back;
    CFile file(name.c_str(), CFile::modeRead);
    ASSERT_EQ(back.LoadRecord(file), 1);
    EXPECT_EQ(Store(back), Store(record));
}

int g_calls;
INT_PTR g_lastPercent;
int RecordingCallback(int code, INT_PTR p1, INT_PTR p2)
{
    EXPECT_EQ(code, SETUPCB_PROGRESS);
    EXPECT_EQ(p2, 0);
    ++g_calls;
    g_lastPercent = p1;
    return g_calls < 3 ? 1 : 0;
}

TEST_F(InstallMngrTest, ProgressGoesToThePreparedRecord)
{
    CInstallMngr engine;
    engine.m_dwDoneBytes = 77;
    engine.m_nTopIndex = 0;
    engine.PrepareLoad();
    EXPECT_EQ(engine.m_dwDoneBytes, 0u);
    EXPECT_EQ(engine.m_nTopIndex, TOP_INDEX_NONE);
    engine.m_pfnCallback = RecordingCallback;
    engine.m_dwTotalBytes = 3000;
    g_calls = 0;
    EXPECT_EQ(ReportProgress(1000), 1);
    EXPECT_EQ(g_lastPercent, 33);
    EXPECT_EQ(ReportProgress(1000), 1);
    EXPECT_EQ(g_lastPercent, 66);
    EXPECT_EQ(ReportProgress(5000), 0);  // overshoot shows as complete; the user quit
    EXPECT_EQ(g_lastPercent, 100);
    EXPECT_EQ(engine.m_dwDoneBytes, 7000u);
    engine.m_dwTotalBytes = 0;
    ReportProgress(1);
    EXPECT_EQ(g_lastPercent, 100);
}

TEST_F(InstallMngrTest, ProgressWithoutTargetOrCallbackContinues)
{
    {
        CInstallMngr engine;
        engine.PrepareLoad();
        EXPECT_EQ(ReportProgress(10), 1);
        EXPECT_EQ(engine.m_dwDoneBytes, 10u);
    }
    EXPECT_EQ(ReportProgress(10), 1);  // the destroyed engine is forgotten
}

CInstallMngr* g_hooked;
void Hook(CInstallMngr* engine) { g_hooked = engine; }

TEST_F(InstallMngrTest, SmallHelpers)
{
    CInstallMngr r;
    r.m_abDrives = {3, 4, 26};
    EXPECT_EQ(r.GetDriveLetter(0), 'C');
    EXPECT_EQ(r.GetDriveLetter(2), 'Z');
    EXPECT_EQ(r.GetDriveLetter(3), '\0');
    EXPECT_EQ(r.GetDriveLetter(-1), '\0');

    EXPECT_EQ(GetVolumeCapacity(1), 1439998u);
    EXPECT_EQ(GetVolumeCapacity(4), 0u);  // no such media type: no capacity rather than a stray read
    EXPECT_EQ(GetVolumeCapacity(-1), 0u);
    EXPECT_FALSE(r.HasInstallLayout());  // no application and system directory

    r.RunPostInstallHook();  // none set: nothing happens
    r.m_pfnPostInstall = Hook;
    r.RunPostInstallHook();
    EXPECT_EQ(g_hooked, &r);
}

}  // namespace

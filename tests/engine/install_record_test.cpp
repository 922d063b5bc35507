// The destination check against real folders with real uninstallers (PE
// files with version resources) and records, and the saving of the record
// when the destination takes it and when it refuses it.
#include <gtest/gtest.h>

#include "engine/setup_engine.h"
#include "tests/engine/engine_fixture.h"
#include "tests/engine/record_support.h"
#include "tests/support/temp_dir.h"

namespace {

enum Uninstaller { NO_UNINSTALLER, OUR_UNINSTALLER, LOWER_CASE_NAME, NO_VERSION };
enum Record { NO_RECORD, OUR_RECORD, OTHER_PRODUCT, DAMAGED, FOREIGN_FILE };
enum Attached { NOTHING_ATTACHED, LOADED, EMPTY_ATTACHED };

const char* UninstallerSource(Uninstaller u)
{
    switch (u) {
    case OUR_UNINSTALLER: return SAMPLE_UNINSTALLER;
    case LOWER_CASE_NAME: return LOWER_CASE_UNINSTALLER;
    case NO_VERSION: return UNVERSIONED_UNINSTALLER;
    default: return nullptr;
    }
}

const char* const SHARED_DLL = "C:\\windows\\system32\\VantlerRt.dll";

// The record a previous install of productId into C:\Vantler left; identity
// bytes outside 4..7 differ from the engine's, which does not matter.
void WritePreviousRecord(const std::string& path, DWORD productId)
{
    CInstallMngr previous;
    MakeDescription(previous, productId);
    previous.m_abIdentity[0] = 0x77;
    previous.m_abIdentity[12] = 0x55;
    InstallNode* sys = previous.GetRoot().children.GetAt(previous.GetRoot().children.FindIndex(ROOT_SYSTEM));
    previous.AddFile(*sys, SHARED_DLL, 100, FILE_SHARED);
    previous.m_strDestDir = "C:\\Vantler";
    WriteRecord(previous, path);
}

void PlaceRecord(Record r, const std::string& path)
{
    switch (r) {
    case OUR_RECORD: WritePreviousRecord(path, VANTLER_PRODUCT_ID); break;
    case OTHER_PRODUCT: WritePreviousRecord(path, VANTLER_PRODUCT_ID + 1); break;
    case DAMAGED: {
        WritePreviousRecord(path, VANTLER_PRODUCT_ID);
        std::string whole = Contents(path);
        WriteAt(path, whole.substr(0, whole.size() - 12));
        break;
    }
    case FOREIGN_FILE: WriteAt(path, "[Setup]\r\nProduct=Other\r\n"); break;
    default: break;
    }
}

int g_nReports = 0;
int CountReports(int code, INT_PTR, INT_PTR)
{
    if (code == SETUPCB_ERROR)
        ++g_nReports;
    return 1;
}

class InstallRecord : public ::testing::Test {
protected:
    void SetUp() override
    {
        MakeDescription(m_engine, VANTLER_PRODUCT_ID);
        m_engine.m_pfnCallback = CountReports;
        g_nReports = 0;
    }

    CSetupEngine m_engine;
};

struct DestinationRow {
    const char* name;
    Uninstaller uninstaller;
    Record record;
    BOOL expected;
    Attached attached;
};

const DestinationRow DESTINATION_ROWS[] = {
    {"empty folder", NO_UNINSTALLER, NO_RECORD, TRUE, NOTHING_ATTACHED},
    {"our uninstaller, no record", OUR_UNINSTALLER, NO_RECORD, TRUE, NOTHING_ATTACHED},
    {"our uninstaller and our record", OUR_UNINSTALLER, OUR_RECORD, TRUE, LOADED},
    {"our record alone", NO_UNINSTALLER, OUR_RECORD, TRUE, LOADED},
    {"record of another product", OUR_UNINSTALLER, OTHER_PRODUCT, FALSE, EMPTY_ATTACHED},
    {"damaged record", OUR_UNINSTALLER, DAMAGED, FALSE, EMPTY_ATTACHED},
    {"not a record at all", OUR_UNINSTALLER, FOREIGN_FILE, FALSE, EMPTY_ATTACHED},
    {"InternalName differs in case", LOWER_CASE_NAME, OUR_RECORD, FALSE, NOTHING_ATTACHED},
    {"uninstaller without version resource", NO_VERSION, NO_RECORD, FALSE, NOTHING_ATTACHED},
};

}  // namespace

TEST_F(InstallRecord, DestinationCheck)
{
    for (const DestinationRow& row : DESTINATION_ROWS) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        if (const char* source = UninstallerSource(row.uninstaller)) {
            ASSERT_TRUE(CopyFileA(HostPath(source).c_str(), dir.Path("Uninst.exe").c_str(), FALSE));
        }
        PlaceRecord(row.record, dir.Path("Setup.inf"));
        delete m_engine.m_pOldRecord;
        m_engine.m_pOldRecord = nullptr;

        EXPECT_EQ(row.expected, m_engine.CheckDestination(dir.Root()));
        CSetupEngine* old = m_engine.m_pOldRecord;
        switch (row.attached) {
        case NOTHING_ATTACHED: EXPECT_EQ(nullptr, old); break;
        case EMPTY_ATTACHED:
            ASSERT_NE(nullptr, old);
            EXPECT_TRUE(old->GetRoot().children.IsEmpty());
            EXPECT_TRUE(old->m_strDestDir.empty());
            break;
        case LOADED: {
            ASSERT_NE(nullptr, old);
            EXPECT_EQ("C:\\Vantler", old->m_strDestDir);
            EXPECT_EQ("Tessel.exe", old->m_strMainExe);
            CObject* item = nullptr;
            int kind = old->GetFirstItem(item);
            while (kind != TREE_END && kind != TREE_FILE)
                kind = old->GetNextItem(item);
            ASSERT_EQ(TREE_FILE, kind);
            EXPECT_EQ(SHARED_DLL, static_cast<CInstalledFile*>(item)->m_strName);
            EXPECT_EQ(static_cast<DWORD>(FILE_SHARED), static_cast<CInstalledFile*>(item)->m_dwFlags);
            break;
        }
        }
    }
    EXPECT_EQ(0, g_nReports) << "the check reports nothing itself";
}

// The record found first stays while the user tries folders without one, and
// goes when a folder holds another product's record.
TEST_F(InstallRecord, LaterChecksKeepOrReplaceTheLoadedRecord)
{
    TempDir previous, fresh, other;
    PlaceRecord(OUR_RECORD, previous.Path("Setup.inf"));
    PlaceRecord(OTHER_PRODUCT, other.Path("Setup.inf"));

    ASSERT_TRUE(m_engine.CheckDestination(previous.Root()));
    CSetupEngine* loaded = m_engine.m_pOldRecord;
    ASSERT_NE(nullptr, loaded);
    EXPECT_TRUE(m_engine.CheckDestination(fresh.Root()));
    EXPECT_EQ(loaded, m_engine.m_pOldRecord);
    EXPECT_EQ("C:\\Vantler", m_engine.m_pOldRecord->m_strDestDir);

    EXPECT_FALSE(m_engine.CheckDestination(other.Root()));
    ASSERT_NE(nullptr, m_engine.m_pOldRecord);
    EXPECT_TRUE(m_engine.m_pOldRecord->GetRoot().children.IsEmpty());
}

TEST_F(InstallRecord, SavedRecordIsTheEngineAndReadsBack)
{
    TempDir dest, expected;
    InstallNode* app = m_engine.GetRoot().children.GetAt(m_engine.GetRoot().children.GetHeadPosition());
    m_engine.AddFile(*app, dest.Path("Tessel.exe"), 10, FILE_SHORTCUT);
    m_engine.m_strDestDir = dest.Root();
    m_engine.SetInfoText(nullptr);

    // A fresh destination, then one whose read-only record is replaced
    // without a question.
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "over a read-only record" : "fresh");
        if (readOnly) {
            dest.WriteFile("Setup.inf", "the old record");
            ASSERT_TRUE(SetFileAttributesA(dest.Path("Setup.inf").c_str(), FILE_ATTRIBUTE_READONLY));
        }
        ASSERT_TRUE(m_engine.SaveInstallRecord());
        WriteRecord(m_engine, expected.Path("Setup.inf"));
        EXPECT_EQ(Contents(expected.Path("Setup.inf")), Contents(dest.Path("Setup.inf")));
        EXPECT_EQ(std::vector<std::string>{"Setup.inf"}, ListTree(dest.Root()));
    }
    EXPECT_EQ(0, g_nReports);

    CSetupEngine next;
    MakeDescription(next, VANTLER_PRODUCT_ID);
    ASSERT_TRUE(next.CheckDestination(dest.Root()));
    EXPECT_EQ(dest.Root(), next.m_pOldRecord->m_strDestDir);
}

// A destination that refuses the new record keeps the old one exactly as it
// was, its read-only attribute included, and no temporary file; the user is
// told once. A destination that is gone fails silently.
TEST_F(InstallRecord, RefusedRecordLeavesTheOldOneWhole)
{
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only record held open" : "record held open by another program");
        TempDir dest;
        m_engine.m_strDestDir = dest.Root();
        const std::string record = dest.WriteFile("Setup.inf", "the old record");
        if (readOnly) {
            ASSERT_TRUE(SetFileAttributesA(record.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        {
            HeldFile held(record);
            ASSERT_TRUE(held.IsHeld());
            SetLastError(ERROR_SUCCESS);
            EXPECT_FALSE(m_engine.SaveInstallRecord());
            EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
        }
        EXPECT_EQ("the old record", Contents(record));
        EXPECT_EQ(readOnly, (GetFileAttributesA(record.c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
        EXPECT_EQ(std::vector<std::string>{"Setup.inf"}, ListTree(dest.Root()));
    }
    EXPECT_EQ(2, g_nReports);

    TempDir parent;
    m_engine.m_strDestDir = parent.Path("gone");
    EXPECT_FALSE(m_engine.SaveInstallRecord());
    EXPECT_TRUE(ListTree(parent.Root()).empty());
    EXPECT_EQ(2, g_nReports);
}

// The destination check against real folders with real uninstallers (PE
// files with version resources) and records, and the saving of the record
// when the destination takes it and when it refuses it.
#include <gtest/gtest.h>

#include "framework/file.h"
#include "platform/path.h"
#include "res/resource.h"
#include "tests/engine/engine_fixture.h"
#include "tests/samples/sample_paths.h"
#include "tests/wizard/fake_page_view.h"
#include "wizard/dest_page_logic.h"
#include "wizard/engine_wizard_data.h"

namespace {

enum Uninstaller { NO_UNINSTALLER, OUR_UNINSTALLER, LOWER_CASE_NAME, NO_VERSION };
enum Record { NO_RECORD, OUR_RECORD, OTHER_PRODUCT, DAMAGED, FOREIGN_FILE };
enum Attached { NOTHING_ATTACHED, LOADED, EMPTY_ATTACHED };

std::string UninstallerSource(Uninstaller u)
{
    switch (u) {
    case OUR_UNINSTALLER: return StagePath("bin/Uninst.exe");
    case LOWER_CASE_NAME: return HostPath(LOWER_CASE_UNINSTALLER);
    case NO_VERSION: return HostPath(UNVERSIONED_UNINSTALLER);
    default: return std::string();
    }
}

// Writes the record m (storing serialisation) to path.
void WriteRecord(CInstallMngr& m, const std::string& path)
{
    CFile file(path.c_str(), CFile::modeWrite | CFile::modeCreate);
    m.StoreRecord(file);
    file.Close();
}

const char* const SHARED_DLL = "C:\\windows\\system32\\VantlerRt.dll";

// The record a previous install of productId into C:\Vantler left; identity
// bytes outside 4..7 differ from the engine's, which does not matter.
void WritePreviousRecord(const std::string& path, DWORD productId)
{
    CInstallMngr previous;
    DescribeVantler(previous, productId);
    previous.m_abIdentity[0] = 0x77;
    previous.m_abIdentity[12] = 0x55;
    previous.AddFile(FirstLevel(previous, ROOT_SYSTEM), SHARED_DLL, 100, FILE_SHARED);
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
        const std::string whole = Read(path);
        Write(path, whole.substr(0, whole.size() - 12));
        break;
    }
    case FOREIGN_FILE: Write(path, "[Setup]\r\nProduct=Other\r\n"); break;
    default: break;
    }
}

class InstallRecord : public EngineFixture {
protected:
    void SetUp() override { DescribeInCode(); }
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
        const std::string source = UninstallerSource(row.uninstaller);
        if (!source.empty()) {
            ASSERT_TRUE(CopyFileA(source.c_str(), dir.Path("Uninst.exe").c_str(), FALSE));
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
    EXPECT_EQ(Lines(), m_log) << "the check reports nothing itself";
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

// The destination page with the real engine behind it: the user picks the
// previous installation's directory, which loads its record, then goes Back
// and maybe picks another. The shared file that the record lists (counted
// once by that installation) is counted again unless the install goes
// into the record's own directory.
TEST_F(InstallRecord, RecordCountsOnlyForTheDirectoryItCameFrom)
{
    struct Row {
        const char* name;
        const char* second;  // the directory picked after Back: "" none
        Uninstaller uninstaller;
        const char* count;
    } rows[] = {
        {"stays with the record's directory", "", NO_UNINSTALLER, "dword:00000001"},
        {"a new directory", "fresh", NO_UNINSTALLER, "dword:00000002"},
        {"a foreign uninstaller, confirmed", "foreign", LOWER_CASE_NAME, "dword:00000002"},
    };
    class AnswerYes : public ::IMessageBoxPresenter {
        int Show(const char*, const std::string&, UINT) override { return IDYES; }
    } yes;
    ::IMessageBoxPresenter* pPrevious = SetMessageBoxPresenter(&yes);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CSetupEngine engine;
        DescribeVantler(engine);
        engine.AddFile(FirstLevel(engine, ROOT_SYSTEM), SHARED_DLL, 100, FILE_SHARED);
        ASSERT_EQ(ERROR_SUCCESS, m_registry.Put(std::string("SharedDLLs|") + SHARED_DLL + "=dword:00000001"));
        TempDir previous, other;
        PlaceRecord(OUR_RECORD, previous.Path("Setup.inf"));
        engine.m_abDrives = {static_cast<BYTE>(DriveNumberOf(previous.Root()[0]))};
        engine.m_nDrive = 0;

        CEngineWizardData data(engine);
        FakePageView view;
        CDestPageLogic page(data, view);
        ASSERT_TRUE(page.OnInitDialog());
        view.SetItemText(IDC_DEST_DIR, previous.Root().substr(2));
        ASSERT_TRUE(page.ValidateDestination());
        ASSERT_NE(nullptr, engine.m_pOldRecord);
        if (*row.second) {
            const std::string source = UninstallerSource(row.uninstaller);
            if (!source.empty()) {
                ASSERT_TRUE(CopyFileA(source.c_str(), other.Path("Uninst.exe").c_str(), FALSE));
            }
            view.SetItemText(IDC_DEST_DIR, other.Root().substr(2));
            ASSERT_TRUE(page.ValidateDestination());
        }

        ASSERT_TRUE(engine.UpdateRegistry());
        std::string count;
        for (const std::string& line : m_registry.Export()) {
            if (line.rfind(std::string("SharedDLLs|") + SHARED_DLL + "=", 0) == 0)
                count = line.substr(line.find('=') + 1);
        }
        EXPECT_EQ(row.count, count);
    }
    SetMessageBoxPresenter(pPrevious);
}

TEST_F(InstallRecord, SavedRecordIsTheEngineAndReadsBack)
{
    const std::string expected = m_root.Path("expected.inf");
    m_engine.AddFile(*m_pApp, Dest("Tessel.exe"), 10, FILE_SHORTCUT);
    m_engine.SetInfoText(nullptr);

    // A fresh destination, then one whose read-only record is replaced
    // without a question.
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "over a read-only record" : "fresh");
        if (readOnly) {
            Write(Dest("Setup.inf"), "the old record");
            ASSERT_TRUE(SetFileAttributesA(Dest("Setup.inf").c_str(), FILE_ATTRIBUTE_READONLY));
        }
        ASSERT_TRUE(m_engine.SaveInstallRecord());
        WriteRecord(m_engine, expected);
        EXPECT_EQ(Read(expected), Read(Dest("Setup.inf")));
        EXPECT_EQ(Lines{"Setup.inf"}, ListTree(m_strDest));
    }
    EXPECT_EQ(Lines(), Logged("error"));

    CSetupEngine next;
    DescribeVantler(next);
    ASSERT_TRUE(next.CheckDestination(m_strDest));
    EXPECT_EQ(m_strDest, next.m_pOldRecord->m_strDestDir);
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
        EXPECT_EQ("the old record", Read(record));
        EXPECT_EQ(readOnly, (GetFileAttributesA(record.c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
        EXPECT_EQ(Lines{"Setup.inf"}, ListTree(dest.Root()));
    }
    EXPECT_EQ(2u, Logged("error").size());

    TempDir parent;
    m_engine.m_strDestDir = parent.Path("gone");
    EXPECT_FALSE(m_engine.SaveInstallRecord());
    EXPECT_TRUE(ListTree(parent.Root()).empty());
    EXPECT_EQ(2u, Logged("error").size());
}

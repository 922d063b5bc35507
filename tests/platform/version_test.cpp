// Reads real version resources of small libraries built beside this program
// (version_info.rc), and checks that no tracked block outlives a call.
#include "platform/version.h"

#include <gtest/gtest.h>

#include "model/tracked_block.h"
#include "platform/path.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Library(const char* name)
{
    char self[MAX_PATH];
    DWORD len = GetModuleFileNameA(nullptr, self, MAX_PATH);
    return DirectoryPart(std::string(self, len)) + "\\" + name;
}

class VersionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_blocks = GetTrackedBlockCount();
        Reset();
    }
    void TearDown() override { EXPECT_EQ(m_blocks, GetTrackedBlockCount()) << "a tracked block was not freed"; }

    void Reset()
    {
        for (std::string& s : m_out)
            s = "untouched";
    }
    bool Untouched(int from) const
    {
        for (int i = from; i < VERSTR_COUNT; ++i) {
            if (m_out[i] != "untouched")
                return false;
        }
        return true;
    }

    WORD m_blocks = 0;
    std::string m_out[VERSTR_COUNT];
};

}  // namespace

TEST_F(VersionTest, ReadsTheEightStringsInOrder)
{
    ASSERT_TRUE(ReadVersionStrings(Library("ver_upper.dll"), m_out));
    const char* expected[VERSTR_COUNT] = {"Vantler Ltd.", "Uninstaller", "1.2.3.4", "UNINSTALL",
                                          "(c) Vantler",  "Uninst.exe",  "Vantler", "5.6.7.8"};
    for (int i = 0; i < VERSTR_COUNT; ++i)
        EXPECT_EQ(expected[i], m_out[i]) << i;

    ASSERT_TRUE(ReadVersionStrings(Library("ver_lower.dll"), m_out));
    EXPECT_EQ("Uninstall", m_out[VERSTR_INTERNALNAME]);
}

TEST_F(VersionTest, NoResourceOrNoFileLeavesTheStringsAlone)
{
    EXPECT_FALSE(ReadVersionStrings(Library("ver_none.dll"), m_out));
    EXPECT_FALSE(ReadVersionStrings(Library("missing.dll"), m_out));
    EXPECT_FALSE(ReadVersionStrings(Library("ver_no_translation.dll"), m_out));
    TempDir temp;
    EXPECT_FALSE(ReadVersionStrings(temp.WriteFile("Uninst.exe", "MZ not really"), m_out));
    EXPECT_TRUE(Untouched(0));
}

TEST_F(VersionTest, MissingValueStopsWithTheEarlierStringsStored)
{
    EXPECT_FALSE(ReadVersionStrings(Library("ver_no_copyright.dll"), m_out));
    EXPECT_EQ("Vantler Ltd.", m_out[0]);
    EXPECT_EQ("UNINSTALL", m_out[VERSTR_INTERNALNAME]);
    EXPECT_TRUE(Untouched(VERSTR_LEGALCOPYRIGHT));
}

TEST_F(VersionTest, OnlyTheFirstTranslationIsRead)
{
    ASSERT_TRUE(ReadVersionStrings(Library("ver_german_first.dll"), m_out));
    EXPECT_EQ("DEINSTALL", m_out[VERSTR_INTERNALNAME]);
    EXPECT_EQ("Vantler GmbH", m_out[0]);

    // Strings stored under the second translation only are not found.
    Reset();
    EXPECT_FALSE(ReadVersionStrings(Library("ver_german_only_listed.dll"), m_out));
    EXPECT_TRUE(Untouched(0));
}

TEST_F(VersionTest, FixedRecordIsTheFiftyTwoByteBlock)
{
    BYTE record[FIXED_VERSION_SIZE] = {};
    ASSERT_EQ(FIXED_VERSION_FOUND, ReadFixedVersion(Library("ver_upper.dll"), record));
    VS_FIXEDFILEINFO info;
    static_assert(sizeof info == FIXED_VERSION_SIZE, "fixed record layout");
    memcpy(&info, record, sizeof info);
    EXPECT_EQ(0xFEEF04BDu, info.dwSignature);
    EXPECT_EQ(0x00010002u, info.dwFileVersionMS);
    EXPECT_EQ(0x00030004u, info.dwFileVersionLS);
    EXPECT_EQ(0x00050006u, info.dwProductVersionMS);
    EXPECT_EQ(0x00070008u, info.dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), info.dwFileType);

    BYTE untouched[FIXED_VERSION_SIZE];
    memset(untouched, 0xAB, sizeof untouched);
    memcpy(record, untouched, sizeof record);
    SetLastError(0);
    EXPECT_EQ(FIXED_VERSION_NONE, ReadFixedVersion(Library("ver_none.dll"), record));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND), GetLastError());
    EXPECT_EQ(FIXED_VERSION_NONE, ReadFixedVersion(Library("missing.dll"), record));
    EXPECT_EQ(0, memcmp(untouched, record, sizeof record));
}

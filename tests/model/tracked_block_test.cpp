#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/tracked_block.h"

namespace {

class TrackedBlockTest : public ::testing::Test {
protected:
    void SetUp() override { FreeAllTrackedBlocks(); }
    void TearDown() override { FreeAllTrackedBlocks(); }
};

TEST_F(TrackedBlockTest, FreeingTheMiddleBlockKeepsOrderAndTotal)
{
    void* a = AllocTrackedBlock(10, "a");
    void* b = AllocTrackedBlock(200, "b");
    void* c = AllocTrackedBlock(3000, "c");
    ASSERT_TRUE(a && b && c);
    std::memset(b, 0x5A, 200);  // the whole block is usable
    EXPECT_EQ(GetTrackedBlockCount(), 3);
    EXPECT_EQ(GetTrackedBlockTotal(), 3210u);

    FreeTrackedBlock(b);
    std::vector<TrackedBlockInfo> blocks = GetTrackedBlocks();
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].pointer, a);
    EXPECT_EQ(blocks[0].name, "a");
    EXPECT_EQ(blocks[1].pointer, c);
    EXPECT_EQ(blocks[1].size, 3000u);
    EXPECT_EQ(GetTrackedBlockTotal(), 3010u);

    // Freeing it again, an unknown pointer or none changes nothing.
    int local = 0;
    FreeTrackedBlock(b);
    FreeTrackedBlock(&local);
    FreeTrackedBlock(nullptr);
    EXPECT_EQ(GetTrackedBlockCount(), 2);
    EXPECT_EQ(GetTrackedBlockTotal(), 3010u);
}

TEST_F(TrackedBlockTest, RecordsComeFromPagesOfAHundredSlotsAndAreReused)
{
    std::vector<void*> blocks;
    for (int i = 0; i < 101; ++i)
        blocks.push_back(AllocTrackedBlock(1, ""));
    std::vector<TrackedBlockInfo> info = GetTrackedBlocks();
    ASSERT_EQ(info.size(), 101u);
    EXPECT_EQ(info[0].page, 0);
    EXPECT_EQ(info[99].page, 0);
    EXPECT_EQ(info[99].slot, 99);
    EXPECT_EQ(info[100].page, 1);
    EXPECT_EQ(info[100].slot, 0);
    EXPECT_GE(GetSlotPageCount(), 2);

    // The first free slot, pages in order and then slots in order, is taken next.
    FreeTrackedBlock(blocks[100]);
    FreeTrackedBlock(blocks[40]);
    AllocTrackedBlock(5, "again");
    info = GetTrackedBlocks();
    EXPECT_EQ(info.back().name, "again");
    EXPECT_EQ(info.back().page, 0);
    EXPECT_EQ(info.back().slot, 40);
}

TEST_F(TrackedBlockTest, LongNamesAreCutToFiftyCharacters)
{
    std::string name(60, 'x');
    name.replace(50, 10, "0123456789");
    AllocTrackedBlock(4, name.c_str());
    AllocTrackedBlock(4, nullptr);
    std::vector<TrackedBlockInfo> info = GetTrackedBlocks();
    ASSERT_EQ(info.size(), 2u);
    EXPECT_EQ(info[0].name, std::string(50, 'x'));
    EXPECT_EQ(info[1].name, "");
}

TEST_F(TrackedBlockTest, FreeAllReleasesEverythingAndStartsOver)
{
    // Over a thousand records: the page array grows past its first ten entries.
    for (int i = 0; i < 1001; ++i)
        ASSERT_NE(AllocTrackedBlock(static_cast<DWORD>(i), ""), nullptr);
    EXPECT_GE(GetSlotPageCount(), 11);
    FreeAllTrackedBlocks();
    EXPECT_EQ(GetTrackedBlockCount(), 0);
    EXPECT_EQ(GetTrackedBlockTotal(), 0u);
    void* p = AllocTrackedBlock(0, "empty");  // a zero-size block still has an address
    ASSERT_NE(p, nullptr);
    std::vector<TrackedBlockInfo> info = GetTrackedBlocks();
    ASSERT_EQ(info.size(), 1u);
    EXPECT_EQ(info[0].page, 0);
    EXPECT_EQ(info[0].slot, 0);
}

}  // namespace

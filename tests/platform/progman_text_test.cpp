#include "platform/progman_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::string> Parse(const char* reply)
{
    return ParseGroupList(reply, std::strlen(reply) + 1);
}

using Names = std::vector<std::string>;

}  // namespace

TEST(ParseGroupList, OneNamePerLine)
{
    EXPECT_EQ((Names{"Accessories", "Main", "Startup"}), Parse("Accessories\r\nMain\r\nStartup\r\n"));
    EXPECT_EQ((Names{"Administrative Tools", "StartUp"}), Parse("Administrative Tools\r\nStartUp\r\n"));
    EXPECT_EQ((Names{"A, B (x)"}), Parse("A, B (x)\r\n"));
}

TEST(ParseGroupList, EmptyLinesAndOddBreaks)
{
    EXPECT_EQ((Names{""}), Parse("\r\n"));
    EXPECT_EQ((Names{}), Parse(""));
    EXPECT_EQ((Names{}), Parse("\n"));  // the first byte is never counted
    EXPECT_EQ((Names{"A", "", "B"}), Parse("A\r\n\r\nB\r\n"));
    // Runs of LF are one break: the counted entries beyond the names stay empty.
    EXPECT_EQ((Names{"A", "B", ""}), Parse("A\n\nB\n"));
    EXPECT_EQ((Names{"A", ""}), Parse("\n\nA\n"));
    EXPECT_EQ((Names{"A"}), Parse("A\rjunk\n"));
}

TEST(ParseGroupList, LastLineWithoutItsBreakIsKept)
{
    EXPECT_EQ((Names{"A", "B"}), Parse("A\r\nB"));
    EXPECT_EQ((Names{"A"}), Parse("A"));
    EXPECT_EQ((Names{"A"}), Parse("\nA"));
}

TEST(ParseGroupList, ReadsNoFurtherThanTheSizeOrTheNul)
{
    const char reply[] = {'A', '\r', '\n', 'B', '\r', '\n'};  // no NUL
    EXPECT_EQ((Names{"A"}), ParseGroupList(reply, 3));
    EXPECT_EQ((Names{"A", "B"}), ParseGroupList(reply, sizeof reply));
    EXPECT_EQ((Names{"A"}), ParseGroupList("A\r\n\0B\r\n", 8));
    EXPECT_EQ((Names{}), ParseGroupList(nullptr, 10));
}

TEST(ProgmanCommands, FormatsAndLimits)
{
    std::string command = "unchanged";
    EXPECT_TRUE(FormatCreateGroup("Vantler, Inc.", command));
    EXPECT_EQ("[CreateGroup(Vantler, Inc.)]", command);
    EXPECT_TRUE(FormatCreateGroup(std::string(63, 'g'), command));
    command = "unchanged";
    EXPECT_FALSE(FormatCreateGroup(std::string(64, 'g'), command));
    EXPECT_EQ("unchanged", command);

    ProgramItem item{"Tessel Help", "C:\\Vantler\\Tessel.hlp"};
    EXPECT_TRUE(FormatAddItem(item, command));
    EXPECT_EQ("[AddItem(\"C:\\Vantler\\Tessel.hlp\",Tessel Help)]", command);

    // 14 characters of frame: [AddItem("",)]
    item.m_strCaption = "c";
    item.m_strCommandLine = std::string(1039 - 15, 'p');
    EXPECT_TRUE(FormatAddItem(item, command));
    EXPECT_EQ(1039u, command.size());
    item.m_strCommandLine += "p";
    command = "unchanged";
    EXPECT_FALSE(FormatAddItem(item, command));
    EXPECT_EQ("unchanged", command);
}

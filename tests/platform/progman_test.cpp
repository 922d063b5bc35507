// Talks to the real Program Manager, which Wine's desktop serves while an X
// display is up. The same program runs a second time without a display
// (CTest entry platform_progman_nodisplay_test): then nobody answers.
#include "platform/progman.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <shlobj.h>

#include "platform/disk.h"
#include "tests/support/temp_dir.h"

namespace {

bool HaveDisplay()
{
    char display[64];
    DWORD len = GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    return len > 0 && len < sizeof display;
}

bool Contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}

std::string ProgramsFolder()
{
    char path[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::string();
    return path;
}

std::string GroupName(const char* what)
{
    char name[64];
    std::snprintf(name, sizeof name, "Vantler %s %lu", what, GetCurrentProcessId());
    return name;
}

class ProgramManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveDisplay())
            GTEST_SKIP() << "no display: Program Manager cannot answer";
    }
};

class NoProgramManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (HaveDisplay())
            GTEST_SKIP() << "runs only without a display";
    }
};

}  // namespace

TEST_F(ProgramManager, ListsTheGroups)
{
    std::vector<std::string> groups = {"stale"};
    ASSERT_TRUE(GetProgramGroups(groups));
    EXPECT_TRUE(Contains(groups, "Administrative Tools"));
    EXPECT_TRUE(Contains(groups, "StartUp"));
    EXPECT_FALSE(Contains(groups, "stale"));

    std::string reply;
    ASSERT_TRUE(DdeRequestText("Groups", reply));
    ASSERT_GE(reply.size(), 3u);
    EXPECT_EQ(std::string("\r\n", 3), reply.substr(reply.size() - 3));
}

TEST_F(ProgramManager, CreatesAGroupWithItems)
{
    TempDir temp;
    ProgramItem tool{"Tessel", temp.WriteFile("Tessel.exe", "MZ")};
    ProgramItem help{"Tessel Help", temp.WriteFile("Tessel.hlp", "help")};
    const ProgramItem* items[] = {&tool, &help};
    const std::string name = GroupName("Items");
    const std::string folder = ProgramsFolder() + "\\" + name;

    ASSERT_TRUE(DdeCreateProgramGroup(name, items, 2));
    EXPECT_EQ(0u, ProbeFile(folder + "\\Tessel.lnk"));
    EXPECT_EQ(0u, ProbeFile(folder + "\\Tessel Help.lnk"));
    std::vector<std::string> groups;
    ASSERT_TRUE(GetProgramGroups(groups));
    EXPECT_TRUE(Contains(groups, name));

    // An existing group is activated and takes further items.
    ProgramItem again{"Tessel Again", tool.m_strCommandLine};
    const ProgramItem* more[] = {&again};
    ASSERT_TRUE(DdeCreateProgramGroup(name, more, 1));
    EXPECT_EQ(0u, ProbeFile(folder + "\\Tessel Again.lnk"));

    ASSERT_TRUE(DdeDeleteGroup(name));
    EXPECT_NE(0u, ProbeFile(folder));
}

// Items go from the named group only, and from no group when it cannot be
// selected; names that would reach elsewhere send nothing.
TEST_F(ProgramManager, DeletesOnlyWhatItNames)
{
    TempDir temp;
    ProgramItem one{"One", temp.WriteFile("One.exe", "MZ")};
    ProgramItem two{"Two", temp.WriteFile("Two.exe", "MZ")};
    const ProgramItem* items[] = {&one, &two};
    const std::string name = GroupName("Deletes");
    const std::string folder = ProgramsFolder() + "\\" + name;
    ASSERT_TRUE(DdeCreateProgramGroup(name, items, 2));
    ASSERT_EQ(0u, ProbeFile(folder + "\\One.lnk"));

    // The last group selected is this one: a group that is not there must
    // not let the item command fall through to it.
    ASSERT_TRUE(DdeDeleteItems(GroupName("Missing"), {"One", "Two"}));
    EXPECT_EQ(0u, ProbeFile(folder + "\\One.lnk"));
    EXPECT_EQ(0u, ProbeFile(folder + "\\Two.lnk"));

    ASSERT_TRUE(DdeDeleteItems(name, {"One", "Three"}));
    EXPECT_NE(0u, ProbeFile(folder + "\\One.lnk"));
    EXPECT_EQ(0u, ProbeFile(folder + "\\Two.lnk"));

    SetLastError(0);
    EXPECT_FALSE(DdeDeleteItems(name + "\\..", {"Two"}));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(DdeDeleteItems(name, {"..\\" + name + "\\Two"}));
    EXPECT_FALSE(DdeDeleteGroup(".."));
    EXPECT_FALSE(DdeDeleteGroup(""));
    EXPECT_EQ(0u, ProbeFile(folder + "\\Two.lnk"));
    EXPECT_EQ(0u, ProbeDirectory(ProgramsFolder()));

    ASSERT_TRUE(DdeDeleteGroup(name));
    EXPECT_NE(0u, ProbeFile(folder));
}

TEST_F(ProgramManager, EmptyGroupIsCreatedToo)
{
    const std::string name = GroupName("Empty");
    ASSERT_TRUE(DdeCreateProgramGroup(name, nullptr, 0));
    EXPECT_EQ(0u, ProbeDirectory(ProgramsFolder() + "\\" + name));
    DdeDeleteGroup(name);
}

TEST_F(ProgramManager, InputBeyondTheBuffersSendsNothing)
{
    TempDir temp;
    const std::string longName = GroupName("Long") + std::string(63, 'x');
    SetLastError(0);
    EXPECT_FALSE(DdeCreateProgramGroup(longName.substr(0, 64), nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(DdeCreateGroup(longName.substr(0, 64)));
    EXPECT_NE(0u, ProbeFile(ProgramsFolder() + "\\" + longName.substr(0, 64)));

    // One item too long: neither the group nor any item is made.
    ProgramItem fine{"Fine", temp.WriteFile("Fine.exe", "MZ")};
    ProgramItem huge{"Huge", std::string(1030, 'p')};
    const ProgramItem* items[] = {&fine, &huge};
    const std::string name = GroupName("Refused");
    EXPECT_FALSE(DdeCreateProgramGroup(name, items, 2));
    EXPECT_FALSE(DdeAddItems(items, 2));
    EXPECT_FALSE(DdeExecuteAll({"[ShowGroup(" + name + ",1)]", std::string(1040, 'c')}));
    EXPECT_NE(0u, ProbeFile(ProgramsFolder() + "\\" + name));
}

TEST_F(NoProgramManager, NobodyAnswers)
{
    std::vector<std::string> groups = {"kept"};
    EXPECT_FALSE(GetProgramGroups(groups));
    EXPECT_EQ(std::vector<std::string>{"kept"}, groups);

    // Registration works without a display; the request then finds nobody.
    std::string reply = "stale";
    EXPECT_TRUE(DdeRequestText("Groups", reply));
    EXPECT_TRUE(reply.empty());

    // Commands that nobody receives are not reported as failures either.
    ProgramItem item{"Tessel", "C:\\Vantler\\Tessel.exe"};
    const ProgramItem* items[] = {&item};
    EXPECT_TRUE(DdeCreateProgramGroup("Vantler", items, 1));
}

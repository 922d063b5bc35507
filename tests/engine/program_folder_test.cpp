// Captions and items without a screen; the group itself through the real
// Program Manager, which Wine's desktop serves while a display is up, and as
// shell links where Program Manager does not answer.
#include <gtest/gtest.h>

#include <map>

#include "platform/disk.h"
#include "platform/path.h"
#include "platform/progman.h"
#include "tests/engine/engine_fixture.h"

namespace {

class ProgramFolderTest : public EngineFixture {
protected:
    void SetUp() override { DescribeInCode(); }

    // Marked: VB\Joust\Joust.vbp and LICENSE, TESSEL.EXE and Readme.txt in the
    // destination, VantlerRt.dll in the system directory; Data.bin unmarked.
    void AddProductFiles()
    {
        InstallNode* joust = m_engine.AddDirectory(*m_engine.AddDirectory(*m_pApp, "VB"), "Joust");
        m_engine.AddFile(*m_pApp, Dest("TESSEL.EXE"), 0, FILE_SHORTCUT);
        m_engine.AddFile(*m_pApp, Dest("Data.bin"), 0, FILE_SHARED);
        m_engine.AddFile(*m_pApp, Dest("Readme.txt"), 0, FILE_SHORTCUT | FILE_SELFREG);
        m_engine.AddFile(*joust, Dest("VB\\Joust\\Joust.vbp"), 0, FILE_SHORTCUT);
        m_engine.AddFile(*joust, Dest("VB\\Joust\\LICENSE"), 0, FILE_SHORTCUT);
        m_engine.AddFile(*m_pSys, Sys("VantlerRt.dll"), 0, FILE_SHORTCUT);
    }

    // AddProductFiles, with every file there (empty) for its item to start.
    void PlaceProductFiles()
    {
        AddProductFiles();
        ASSERT_TRUE(CreateDirectoryPath(m_strDest + "\\VB\\Joust"));
        CObject* item = nullptr;
        for (int n = m_engine.GetFirstItem(item); n != TREE_END; n = m_engine.GetNextItem(item)) {
            if (n == TREE_FILE)
                CloseHandle(CreateFileA(static_cast<CInstalledFile*>(item)->m_strName.c_str(), GENERIC_WRITE, 0,
                                        nullptr, CREATE_NEW, 0, nullptr));
        }
    }

    static std::string GroupFolder(const std::string& group) { return ProgramsFolder() + "\\" + group; }

    // The group's items by the order they were made in.
    static std::vector<std::string> ItemsInOrder(const std::string& group)
    {
        std::multimap<ULONGLONG, std::string> byTime;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((GroupFolder(group) + "\\*.lnk").c_str(), &data);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
            const FILETIME& time = data.ftLastWriteTime;
            byTime.emplace(ULONGLONG{time.dwHighDateTime} << 32 | time.dwLowDateTime, data.cFileName);
        }
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
        std::vector<std::string> names;
        for (const auto& item : byTime)
            names.push_back(item.second);
        return names;
    }

    // Runs the operation; a group made opens a window in Wine, which is
    // closed again so that it does not outlive the test.
    BOOL CreateGroup(const std::string& group)
    {
        m_engine.m_strProgramFolder = group;
        const BOOL result = m_engine.CreateProgramFolder();
        m_groups.push_back(group);
        if (result)
            CloseFolderWindows(5000);
        return result;
    }

    void TearDown() override
    {
        for (const std::string& group : m_groups)
            DdeDeleteGroup(group);
    }

    std::vector<std::string> m_groups;
};

class ProgramManagerTest : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        if (!HaveDisplay())
            GTEST_SKIP() << NO_DISPLAY;
        ProgramFolderTest::SetUp();
    }
};

std::string GroupName(const char* what)
{
    return std::string("Vantler ") + what + " " + std::to_string(GetCurrentProcessId());
}

// The user's Start Menu, less the groups of the tests that may run beside
// this one (all named "Vantler..."), which are left out.
Lines StartMenu()
{
    const std::string programs = FileNamePart(ProgramsFolder()) + "\\";
    Lines entries;
    for (const std::string& entry : ListTree(DirectoryPart(ProgramsFolder()))) {
        if (entry.compare(0, programs.size() + 7, programs + "Vantler") != 0)
            entries.push_back(entry);
    }
    return entries;
}

}  // namespace

TEST(CaptionForFile, TableRowsIgnoreCaseOtherNamesLoseTheirLastExtension)
{
    const std::pair<const char*, const char*> rows[] = {
        {"Tessel.exe", "Tessel"}, {"TESSEL.EXE", "Tessel"}, {"vantler.HLP", "Vantler ActiveX Help"},
        {"Tessel.hlp", "Tessel Help"}, {"joust.vbp", "Joust - VB"}, {"Q7.VBP", "Q7 - VB"},
        {"Joust.exe", "Joust - Delphi"}, {"q7.exe", "Q7 - Delphi"}, {"Readme.txt", "Readme"},
        {"LICENSE", "LICENSE"}, {"Tessel.exe.bak", "Tessel.exe"}, {"Tessel.ex", "Tessel"}, {".vtr", ".vtr"},
    };
    for (const auto& [name, caption] : rows)
        EXPECT_EQ(caption, CaptionForFile(name)) << name;
}

TEST_F(ProgramFolderTest, ItemsFollowTheTreeOrder)
{
    AddProductFiles();
    std::vector<std::string> items;
    for (const ProgramItem& item : ProgramItemsOf(m_engine))
        items.push_back(item.m_strCaption + "=" + item.m_strCommandLine);
    const std::vector<std::string> expected = {
        "Joust - VB=" + m_strDest + "\\VB\\Joust\\Joust.vbp", "LICENSE=" + m_strDest + "\\VB\\Joust\\LICENSE",
        "Tessel=" + m_strDest + "\\TESSEL.EXE", "Readme=" + m_strDest + "\\Readme.txt",
        "VantlerRt=" + m_strSys + "\\VantlerRt.dll"};
    EXPECT_EQ(expected, items);
}

TEST_F(ProgramManagerTest, GroupHoldsOneItemPerMarkedFile)
{
    PlaceProductFiles();
    const std::string group = GroupName("Items");
    ASSERT_TRUE(CreateGroup(group));
    const std::vector<std::string> expected = {"Joust - VB.lnk", "LICENSE.lnk", "Tessel.lnk", "Readme.lnk",
                                               "VantlerRt.lnk"};
    EXPECT_EQ(expected, ItemsInOrder(group));
}

TEST_F(ProgramManagerTest, EmptyGroupIsCreatedAndAnOverlongNameRefused)
{
    const std::string group = GroupName("Empty");
    ASSERT_TRUE(CreateGroup(group));
    EXPECT_EQ(0u, ProbeDirectory(GroupFolder(group)));
    EXPECT_TRUE(ItemsInOrder(group).empty());

    SetLastError(0);
    EXPECT_FALSE(CreateGroup(group + std::string(64, 'x')));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

// Names from a hostile medium, the program folder and a marked file's name,
// reach Program Manager as names only: the group is made under its literal
// name with the item under its literal caption, or refused with nothing
// sent; StartUp keeps the user's file, and nothing else in the Start Menu
// changes.
TEST_F(ProgramManagerTest, HostileNamesAreOnlyNames)
{
    const std::string startUp = ProgramsFolder() + "\\StartUp";
    CreateDirectoryA(startUp.c_str(), nullptr);
    Write(startUp + "\\mine " + std::to_string(GetCurrentProcessId()) + ".txt", "the user's");
    const struct {
        const char* folder;
        const char* file;
        bool made;
    } rows[] = {
        {"X)][DeleteGroup(StartUp)][CreateGroup(Y", "Tessel.exe", true},
        {"X)][CreateGroup(StartUp)][AddItem(cmd.exe,Evil)][CreateGroup(Y", "Tessel.exe", true},
        {"X)][DeleteGroup(..)][CreateGroup(X", "Tessel.exe", true},
        {"Hostile Items", "a)][DeleteGroup(StartUp)][CreateGroup(b.exe", true},
        {"..", "Tessel.exe", false},
        {".", "Tessel.exe", false},
        {". .", "Tessel.exe", false},
        {"..\\StartUp", "Tessel.exe", false},
        {"Hostile\\..\\..", "Tessel.exe", false},
    };
    for (const auto& row : rows) {
        m_engine.ClearTree();
        DescribeInCode();
        const std::string file = m_engine.AddFile(*m_pApp, Dest(row.file), 0, FILE_SHORTCUT)->m_strName;
        Write(file, "MZ");
        const Lines before = StartMenu();

        SetLastError(0);
        EXPECT_EQ(row.made, CreateGroup(row.folder) != FALSE) << row.folder;
        Lines expected = before;
        if (row.made) {
            const std::string group = FileNamePart(ProgramsFolder()) + "\\" + row.folder + "\\";
            expected.push_back(group);
            expected.push_back(group + CaptionForFile(row.file) + ".lnk");
            std::sort(expected.begin(), expected.end());
        } else {
            EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError()) << row.folder;
        }
        EXPECT_EQ(expected, StartMenu()) << row.folder << " " << row.file;
        DeleteFileA(file.c_str());
    }
    DeleteFileA((startUp + "\\mine " + std::to_string(GetCurrentProcessId()) + ".txt").c_str());
}

// Without Program Manager (an unattended run as a service account) the group
// is a folder of shell links in the all-users Programs folder. A name that
// would address another folder makes nothing anywhere.
TEST_F(ProgramFolderTest, WithoutProgramManagerTheGroupIsAFolderOfShellLinks)
{
    PlaceProductFiles();
    m_engine.m_bShellLinkGroup = TRUE;
    const std::string common = CommonProgramsFolder();
    const std::string links = GroupName("Links");
    const struct {
        std::string group;
        BOOL bMade;
        Lines files;  // in the folder the name addresses
    } rows[] = {
        {links, TRUE, {"Joust - VB.lnk", "LICENSE.lnk", "Readme.lnk", "Tessel.lnk", "VantlerRt.lnk"}},
        {"..\\" + GroupName("Outside"), FALSE, {}},
        {links + "\\..\\..\\" + GroupName("Up"), FALSE, {}},
        {links + "\\ \\x", FALSE, {}},
        {"C:\\" + GroupName("Rooted"), FALSE, {}},
    };
    for (const auto& row : rows) {
        m_engine.m_strProgramFolder = row.group;
        SetLastError(0);
        EXPECT_EQ(m_engine.CreateProgramFolder(), row.bMade) << row.group;
        if (!row.bMade) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << row.group;
        }
        EXPECT_EQ(ListTree(common + "\\" + row.group), row.files) << row.group;
    }

    // A late rollback takes the links back, and the folder this run made;
    // a file of someone else's in it keeps the folder.
    RemoveTree(common + "\\" + links);
    m_engine.m_strProgramFolder = links;
    m_engine.CreateProgramFolder();
    m_engine.RemoveProgramFolder();
    EXPECT_FALSE(Exists(common + "\\" + links));
    m_engine.m_journal.m_strGroup.clear();
    m_engine.CreateProgramFolder();
    Write(common + "\\" + links + "\\Notes.txt", "someone else's");
    m_engine.RemoveProgramFolder();
    EXPECT_EQ(ListTree(common + "\\" + links), Lines({"Notes.txt"}));
    RemoveTree(common + "\\" + links);
}

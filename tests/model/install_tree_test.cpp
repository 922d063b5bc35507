#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/mem_file.h"
#include "model/archive.h"
#include "model/install_tree.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes StoreTree(CInstallTree& tree)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    tree.SerializeTree(ar);
    ar.Close();
    return file.Data();
}

void LoadTree(CInstallTree& tree, const Bytes& bytes)
{
    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    tree.SerializeTree(ar);
}

// Root children A (subdirectory A1 with f1, and file fa) and B (file fb), root file r.
void BuildSample(CInstallTree& tree)
{
    InstallNode& root = tree.GetRoot();
    InstallNode* a = tree.AddDirectory(root, "A");
    InstallNode* a1 = tree.AddDirectory(*a, "A1");
    tree.AddFile(*a1, "f1");
    tree.AddFile(*a, "fa");
    InstallNode* b = tree.AddDirectory(root, "B");
    tree.AddFile(*b, "fb");
    tree.AddFile(root, "r");
}

std::string Describe(int kind, const CObject* item)
{
    static const char* const kinds[] = {"END", "LEAVE", "ENTER", "FILE"};
    std::string text = kinds[kind];
    if (kind == TREE_ENTER)
        text += " " + static_cast<const CInstallDir*>(item)->m_strName;
    else if (kind == TREE_FILE)
        text += " " + static_cast<const CInstalledFile*>(item)->m_strName;
    else if (kind == TREE_LEAVE)
        text += item ? " " + static_cast<const CInstallDir*>(item)->m_strName : " (root)";
    return text;
}

std::vector<std::string> Walk(CInstallTree& tree)
{
    std::vector<std::string> steps;
    CObject* item;
    int kind = tree.GetFirstItem(item);
    for (int guard = 0; guard < 100; ++guard) {
        steps.push_back(Describe(kind, item));
        if (kind == TREE_END)
            break;
        kind = tree.GetNextItem(item);
    }
    return steps;
}

TEST(InstallTreeTest, WalkVisitsSubdirectoriesBeforeFiles)
{
    CInstallTree tree;
    BuildSample(tree);
    const std::vector<std::string> expected = {
        "ENTER A", "ENTER A1", "FILE f1", "LEAVE A", "FILE fa", "LEAVE (root)", "ENTER B",
        "FILE fb", "LEAVE (root)", "FILE r", "END"};
    EXPECT_EQ(Walk(tree), expected);
    EXPECT_EQ(Walk(tree), expected);  // a second walk starts over

    // The positions of the second form lead back to the items.
    CObject* item;
    POSITION pos = nullptr;
    ASSERT_EQ(tree.GetFirstItem(item, pos), TREE_ENTER);
    EXPECT_EQ(CPtrListOf<InstallNode>::GetAt(pos)->dir, item);
    ASSERT_EQ(tree.GetNextItem(item, pos), TREE_ENTER);
    ASSERT_EQ(tree.GetNextItem(item, pos), TREE_FILE);
    EXPECT_EQ(CPtrListOf<CInstalledFile>::GetAt(pos), item);
}

TEST(InstallTreeTest, EmptyTreesAndUnstartedWalksEnd)
{
    CInstallTree tree;
    CObject* item = &tree;
    EXPECT_EQ(tree.GetNextItem(item), TREE_END);  // no walk started yet
    EXPECT_EQ(tree.GetFirstItem(item), TREE_END);
    EXPECT_EQ(item, nullptr);
    tree.AddFile(tree.GetRoot(), "only");
    EXPECT_EQ(Walk(tree), (std::vector<std::string>{"FILE only", "END"}));
}

TEST(InstallTreeTest, NodeRecordsAreByteExact)
{
    CInstallTree tree;
    InstallNode& root = tree.GetRoot();
    tree.AddDirectory(root, "App");
    tree.AddDirectory(root, "Sys");
    const Bytes expected{0x00, 0x02, 0, 0, 0,                           // no root dir, 2 children
                         0x01, 0x03, 'A', 'p', 'p', 0, 0, 0, 0, 0, 0, 0, 0,  // App, no children/files
                         0x01, 0x03, 'S', 'y', 's', 0, 0, 0, 0, 0, 0, 0, 0,  //
                         0x00, 0x00, 0x00, 0x00};                        // no root files
    EXPECT_EQ(StoreTree(tree), expected);

    CInstallTree files;
    CInstalledFile* f = files.AddFile(files.GetRoot(), "x.dll", 0x1234, FILE_SHARED | FILE_SELFREG);
    for (int i = 0; i < CInstalledFile::VERSION_INFO_SIZE; ++i)
        f->m_VersionInfo[i] = static_cast<BYTE>(i);
    Bytes bytes = StoreTree(files);
    ASSERT_EQ(bytes.size(), 1 + 4 + 4 + 1 + 6 + 4 + 4 + 52u);
    const Bytes head{0x00, 0, 0, 0, 0, 1, 0, 0, 0, 0x01, 0x05, 'x', '.', 'd', 'l', 'l',
                     0x09, 0, 0, 0, 0x34, 0x12, 0, 0};  // flags before size
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + head.size()), head);
    EXPECT_EQ(bytes.back(), 51);

    CInstallTree back;
    LoadTree(back, bytes);
    ASSERT_EQ(back.GetRoot().files.GetCount(), 1u);
    const CInstalledFile* g = CPtrListOf<CInstalledFile>::GetAt(back.GetRoot().files.GetHeadPosition());
    EXPECT_EQ(g->m_strName, "x.dll");
    EXPECT_EQ(g->m_dwSize, 0x1234u);
    EXPECT_EQ(g->m_dwFlags, FILE_SHARED | FILE_SELFREG);
    EXPECT_EQ(std::memcmp(g->m_VersionInfo, f->m_VersionInfo, 52), 0);
}

TEST(InstallTreeTest, EmptyFileEntriesAndNegativeCountsGiveNothing)
{
    // Root: dir "R", child count -5, three file entries of which only the middle one is present.
    Bytes bytes{0x01, 0x01, 'R', 0xFB, 0xFF, 0xFF, 0xFF, 0x03, 0, 0, 0, 0x00, 0x01, 0x01, 'm'};
    bytes.insert(bytes.end(), 8 + 52, 0);
    bytes.push_back(0x00);
    CInstallTree tree;
    LoadTree(tree, bytes);
    EXPECT_EQ(tree.GetRoot().dir->m_strName, "R");
    EXPECT_EQ(tree.GetRoot().children.GetCount(), 0u);
    EXPECT_EQ(Walk(tree), (std::vector<std::string>{"FILE m", "END"}));
}

TEST(InstallTreeTest, LoadingReplacesTheWholeTree)
{
    CInstallTree source;
    BuildSample(source);
    Bytes bytes = StoreTree(source);

    CInstallTree tree;
    InstallNode* old = tree.AddDirectory(tree.GetRoot(), "old");
    tree.AddFile(*old, "stale");
    tree.AddFile(tree.GetRoot(), "stale2");
    tree.EnterDirectory(tree.GetChildNode(0));
    LoadTree(tree, bytes);
    EXPECT_EQ(Walk(tree), Walk(source));
    EXPECT_EQ(tree.m_pCurNode, &tree.GetRoot());
    EXPECT_EQ(tree.m_nDepth, 0);
    EXPECT_EQ(StoreTree(tree), bytes);
}

TEST(InstallTreeTest, NavigationBuildsAndCutsThePath)
{
    CInstallTree tree;
    InstallNode& root = tree.GetRoot();
    InstallNode* app = tree.AddDirectory(root, "C:\\Program Files\\Vantler");
    tree.AddDirectory(*app, "Help");
    tree.AddDirectory(*app, "Sub");
    InstallNode* sys = tree.AddDirectory(root, "C:\\WINDOWS\\SYSTEM");

    tree.ResetPosition();
    EXPECT_EQ(tree.m_nTopIndex, TOP_INDEX_NONE);
    EXPECT_EQ(tree.ChangeDirectory(0), app);
    EXPECT_EQ(tree.m_nTopIndex, 0);
    EXPECT_EQ(tree.m_strCurPath, "C:\\Program Files\\Vantler");
    EXPECT_EQ(tree.GetChildNode(2), nullptr);
    tree.EnterDirectory(tree.GetChildNode(1));
    EXPECT_EQ(tree.m_strCurPath, "C:\\Program Files\\Vantler\\Sub");
    EXPECT_EQ(tree.m_nDepth, 2);
    EXPECT_EQ(tree.m_nTopIndex, 0);

    EXPECT_EQ(tree.LeaveDirectory(), app);
    EXPECT_EQ(tree.m_strCurPath, "C:\\Program Files\\Vantler");
    EXPECT_EQ(tree.ChangeDirectory(-1), &root);
    EXPECT_EQ(tree.m_strCurPath, "");
    EXPECT_EQ(tree.m_nTopIndex, TOP_INDEX_NONE);

    // Leaving the root, or entering a child that is not there, changes nothing.
    EXPECT_EQ(tree.LeaveDirectory(), nullptr);
    EXPECT_EQ(tree.ChangeDirectory(7), nullptr);
    EXPECT_EQ(tree.ChangeDirectory(-3), nullptr);
    EXPECT_EQ(tree.m_pCurNode, &root);
    EXPECT_EQ(tree.m_nDepth, 0);

    tree.ChangeDirectory(1);
    EXPECT_EQ(tree.m_pCurNode, sys);
    EXPECT_EQ(tree.m_nTopIndex, 1);
    tree.ChangeDirectory(-2);
    EXPECT_EQ(tree.m_pCurNode, &root);
    EXPECT_EQ(tree.m_strCurPath, "");

    // A node that is no first-level child while at the root: no match.
    tree.EnterDirectory(app->children.GetHeadPosition());
    EXPECT_EQ(tree.m_nTopIndex, -1);
    EXPECT_EQ(tree.m_strCurPath, "Help");
}

TEST(InstallTreeTest, ShortNamesFollowThePathRules)
{
    CInstalledFile f;
    struct {
        const char* name;
        const char* shortName;
    } cases[] = {{"README", "README"},       {"C:\\DIR\\File.txt", "File.txt"},
                 {"C:\\DIR\\", "DIR\\"},      {"a\\b\\c", "c"},
                 {"\\\\server", "\\\\server"}, {"", ""}};
    for (const auto& c : cases) {
        f.SetName(c.name);
        EXPECT_EQ(f.GetShortName(), c.shortName) << c.name;
    }
}

}  // namespace

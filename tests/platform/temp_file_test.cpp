// Commit or discard, on real files.
#include "platform/temp_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/file.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(TempFile, CommitReplacesTheTargetInOneStep)
{
    TempDir dir;
    std::string target = dir.WriteFile("Tessel.exe", "old");
    CTempFile temp;
    ASSERT_TRUE(temp.Create(dir.Root()));
    std::string path = temp.GetPath();
    EXPECT_EQ(path.substr(0, dir.Root().size() + 4), dir.Root() + "\\Fil");
    std::ofstream(path, std::ios::binary) << "new";
    temp.Commit(target);
    EXPECT_FALSE(temp.IsOwned());
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(Contents(target), "new");
}

TEST(TempFile, WhatIsNotCommittedGoes)
{
    TempDir dir;
    std::string path;
    {
        CTempFile temp;
        ASSERT_TRUE(temp.Create(dir.Root()));
        path = temp.GetPath();
        EXPECT_TRUE(Exists(path));
    }
    EXPECT_FALSE(Exists(path));

    // A target that another program holds open refuses the move: the old file
    // stays whole and the temporary file is still ours to delete.
    std::string target = dir.WriteFile("busy.dll", "in use");
    HANDLE busy = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    CTempFile temp;
    ASSERT_TRUE(temp.Create(dir.Root()));
    try {
        temp.Commit(target);
        ADD_FAILURE() << "the move onto an open file succeeded";
    } catch (const CFileException& e) {
        // Replacing a file that is open is refused as access denied (a plain
        // open would be a sharing violation).
        EXPECT_TRUE(e.m_cause == CFileException::accessDenied || e.m_cause == CFileException::sharingViolation)
            << e.m_cause;
        EXPECT_EQ(e.m_strFileName, target);
    }
    CloseHandle(busy);
    EXPECT_TRUE(temp.IsOwned());
    temp.Discard();
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(Contents(target), "in use");

    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(temp.Create(dir.Path("missing")));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
}

// A read-only target is replaced; one that refuses the move keeps its
// attribute along with its contents.
TEST(TempFile, CommitOverReadOnly)
{
    TempDir dir;
    std::string target = dir.WriteFile("Setup.inf", "old");
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    CTempFile temp;
    ASSERT_TRUE(temp.Create(dir.Root()));
    std::ofstream(temp.GetPath(), std::ios::binary) << "new";
    HANDLE busy = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    EXPECT_THROW(temp.CommitOverReadOnly(target), CFileException);
    CloseHandle(busy);
    EXPECT_NE(0u, GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Contents(target), "old");

    temp.CommitOverReadOnly(target);
    EXPECT_FALSE(temp.IsOwned());
    EXPECT_EQ(Contents(target), "new");
}

}  // namespace

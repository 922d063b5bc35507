// Runs on the real platform. The test prefix maps S: to a folder with one
// file, T: to an empty folder and A: to a folder that Wine reports as a
// floppy drive (scripts/wine-env); Q: is not mapped.
#include "platform/disk.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/temp_dir.h"

namespace {

const BYTE kDriveA = 1, kDriveC = 3, kDriveQ = 17, kDriveS = 19, kDriveT = 20, kDriveZ = 26;

bool IsDirectory(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(GetDiskFreeBytes, SaturatesWhatDoesNotFitThirtyTwoBits)
{
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
    DWORD bytes = 0;
    ASSERT_TRUE(GetDiskFreeBytes(kDriveC, bytes));
    if (free.QuadPart >= 0x100000000ull)
        EXPECT_EQ(0xFFFFFFFFu, bytes);
    else
        EXPECT_EQ(free.QuadPart, bytes);
    // Only the low byte names the drive.
    DWORD again = 0;
    EXPECT_TRUE(GetDiskFreeBytes(0x100 + kDriveC, again));
}

TEST(GetDiskFreeBytes, MissingDriveLeavesTheValueAlone)
{
    DWORD bytes = 1234;
    EXPECT_FALSE(GetDiskFreeBytes(kDriveQ, bytes));
    EXPECT_EQ(1234u, bytes);
}

TEST(FindDrivesOfType, ListsMatchingDrivesInOrder)
{
    const DWORD fixed[] = {1, DRIVE_FIXED};
    std::vector<BYTE> drives = {99};
    ASSERT_TRUE(FindDrivesOfType(fixed, FALSE, drives));
    // The test prefix may map further drives; these four are always there.
    for (BYTE drive : {kDriveC, kDriveS, kDriveT, kDriveZ})
        EXPECT_NE(drives.end(), std::find(drives.begin(), drives.end(), drive)) << int(drive);
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
    EXPECT_EQ(drives.end(), std::adjacent_find(drives.begin(), drives.end()));
    EXPECT_EQ(drives.end(), std::find(drives.begin(), drives.end(), kDriveQ));

    // The floppy A: is listed only when asked for, although its type is in the set.
    const DWORD setup[] = {3, DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_REMOTE};
    std::vector<BYTE> withoutFloppies, withFloppies;
    ASSERT_TRUE(FindDrivesOfType(setup, FALSE, withoutFloppies));
    EXPECT_EQ(drives, withoutFloppies);
    ASSERT_TRUE(FindDrivesOfType(setup, TRUE, withFloppies));
    ASSERT_FALSE(withFloppies.empty());
    EXPECT_EQ(kDriveA, withFloppies.front());
    EXPECT_EQ(withoutFloppies, std::vector<BYTE>(withFloppies.begin() + 1, withFloppies.end()));
}

TEST(FindDrivesOfType, NothingOfTheTypeGivesFalseAndAnEmptyList)
{
    const DWORD ramdisk[] = {1, DRIVE_RAMDISK};
    std::vector<BYTE> drives = {3};
    EXPECT_FALSE(FindDrivesOfType(ramdisk, TRUE, drives));
    EXPECT_TRUE(drives.empty());
    const DWORD none[] = {0};
    EXPECT_FALSE(FindDrivesOfType(none, FALSE, drives));
    // The only removable drive is the floppy A:.
    const DWORD removable[] = {1, DRIVE_REMOVABLE};
    drives = {3};
    EXPECT_FALSE(FindDrivesOfType(removable, FALSE, drives));
    EXPECT_TRUE(drives.empty());
    ASSERT_TRUE(FindDrivesOfType(removable, TRUE, drives));
    EXPECT_EQ(std::vector<BYTE>{kDriveA}, drives);
}

TEST(CreateDirectoryPath, CreatesEveryMissingLevel)
{
    TempDir temp;
    ASSERT_TRUE(CreateDirectoryA(temp.Path("A").c_str(), nullptr));
    const std::string path = temp.Path("A\\B\\C");
    std::vector<std::string> created;
    ASSERT_TRUE(CreateDirectoryPath(path, &created));
    EXPECT_TRUE(IsDirectory(temp.Path("A\\B")));
    EXPECT_TRUE(IsDirectory(path));
    EXPECT_EQ(created, std::vector<std::string>({temp.Path("A\\B"), path}));
    created.clear();
    EXPECT_TRUE(CreateDirectoryPath(path, &created));  // already there
    EXPECT_TRUE(created.empty());

    const std::string slash = temp.Path("X\\Y\\");
    EXPECT_TRUE(CreateDirectoryPath(slash));
    EXPECT_TRUE(IsDirectory(temp.Path("X\\Y")));
}

TEST(CreateDirectoryPath, FailsBelowAFileAndOnMissingDrives)
{
    TempDir temp;
    temp.WriteFile("A", "file");
    EXPECT_FALSE(CreateDirectoryPath(temp.Path("A\\B\\C")));
    EXPECT_FALSE(IsDirectory(temp.Path("A\\B")));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(CreateDirectoryPath(temp.Path("A")));  // a file is no directory for the files to go in
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryPath("Q:\\Vantler\\Bin"));
    EXPECT_FALSE(CreateDirectoryPath(""));
}

TEST(CreateDirectoryPath, StartsBelowADriveRoot)
{
    ASSERT_TRUE(CreateDirectoryPath("S:\\VantlerNew\\Bin"));
    EXPECT_TRUE(IsDirectory("S:\\VantlerNew\\Bin"));
    RemoveDirectoryA("S:\\VantlerNew\\Bin");
    RemoveDirectoryA("S:\\VantlerNew");
}

TEST(ProbeFile, ReportsTheSearchError)
{
    TempDir temp;
    const std::string file = temp.WriteFile("Setup.dat", "x");
    EXPECT_EQ(0u, ProbeFile(file));
    EXPECT_EQ(0u, ProbeFile(temp.Root()));  // a directory is found like a file
    EXPECT_EQ(0u, ProbeFile("S:\\readme.txt"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), ProbeFile(temp.Path("Missing.dat")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), ProbeFile(temp.Path("Missing\\Setup.dat")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), ProbeFile("Q:\\Setup.dat"));
    EXPECT_NE(0u, ProbeFile(file + "\\Setup.dat"));
}

TEST(ProbeDirectory, EmptyDirectoryExistsButAnEmptyDriveRootDoesNot)
{
    TempDir temp;
    ASSERT_TRUE(CreateDirectoryA(temp.Path("Empty").c_str(), nullptr));
    EXPECT_EQ(0u, ProbeDirectory(temp.Path("Empty")));
    EXPECT_EQ(0u, ProbeDirectory("S:"));

    SetLastError(0);
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), ProbeDirectory("T:"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());

    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), ProbeDirectory(temp.Path("Missing")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), ProbeDirectory("Q:"));
    EXPECT_NE(0u, ProbeDirectory(temp.WriteFile("File", "x")));
}

TEST(MakeTempFileName, CreatesAnEmptyFileInTheDirectory)
{
    TempDir temp;
    const std::string first = MakeTempFileName(temp.Root());
    const std::string second = MakeTempFileName(temp.Root());
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first, second);
    EXPECT_EQ(temp.Root() + "\\Fil", first.substr(0, temp.Root().size() + 4));
    EXPECT_EQ(".tmp", first.substr(first.size() - 4));
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(first.c_str(), GetFileExInfoStandard, &data));
    EXPECT_EQ(0u, data.nFileSizeLow);
}

TEST(MakeTempFileName, EmptyDirectoryMeansTheTemporaryDirectory)
{
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    const std::string name = MakeTempFileName("");
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(std::string(temp) + "Fil", name.substr(0, std::string(temp).size() + 3));
    EXPECT_EQ(0u, ProbeFile(name));
    DeleteFileA(name.c_str());
}

TEST(MakeTempFileName, MissingDirectoryGivesAnEmptyName)
{
    TempDir temp;
    EXPECT_EQ("", MakeTempFileName(temp.Path("Missing")));
}

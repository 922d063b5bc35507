#include "platform/path.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(DriveNumberOf, LettersOfEitherCase)
{
    EXPECT_EQ(1u, DriveNumberOf('A'));
    EXPECT_EQ(3u, DriveNumberOf('c'));
    EXPECT_EQ(26u, DriveNumberOf('z'));
    EXPECT_EQ(0u, DriveNumberOf('@'));  // not checked: other characters give other values
}

TEST(PathPrefix, CountsBackslashesFromZero)
{
    const std::string path = "C:\\A\\B\\C";
    EXPECT_EQ("C:", PathPrefix(path, 0));
    EXPECT_EQ("C:\\A", PathPrefix(path, 1));
    EXPECT_EQ("C:\\A\\B", PathPrefix(path, 2));
    EXPECT_EQ(path, PathPrefix(path, 3));
    EXPECT_EQ(path, PathPrefix(path, 4));
    // A trailing backslash belongs to the last prefix.
    EXPECT_EQ("C:\\A", PathPrefix("C:\\A\\", 1));
    EXPECT_EQ("C:\\A\\", PathPrefix("C:\\A\\", 2));
    EXPECT_EQ("", PathPrefix("", 1));
    EXPECT_EQ("", PathPrefix("\\X", 0));
}

TEST(FileNamePart, LastSeparatorBetweenIndexTwoAndTheEnd)
{
    EXPECT_EQ("README", FileNamePart("C:\\DIR\\README"));
    EXPECT_EQ("SETUP.EXE", FileNamePart("C:\\SETUP.EXE"));
    EXPECT_EQ("DIR\\", FileNamePart("C:\\DIR\\"));
    EXPECT_EQ("README", FileNamePart("README"));
    EXPECT_EQ("SHARE", FileNamePart("\\\\SERVER\\SHARE"));
    EXPECT_EQ("\\\\SERVER", FileNamePart("\\\\SERVER"));
    EXPECT_EQ("C:\\", FileNamePart("C:\\"));
    EXPECT_EQ("", FileNamePart(""));
    EXPECT_EQ("\\", FileNamePart("\\"));
    EXPECT_EQ("ab", FileNamePart("ab"));
}

TEST(BaseName, CutsTheLastInnerDot)
{
    EXPECT_EQ("README", BaseName("C:\\DIR\\README"));
    EXPECT_EQ("A.B", BaseName("C:\\DIR\\A.B.C"));
    EXPECT_EQ("Tessel", BaseName("Tessel.exe"));
    EXPECT_EQ(".profile", BaseName("C:\\.profile"));
    EXPECT_EQ("name.", BaseName("name."));
    EXPECT_EQ("", BaseName(""));
    EXPECT_EQ(".", BaseName("."));
    EXPECT_EQ("a", BaseName("a.b"));
}

TEST(DirectoryPart, TextBeforeTheLastSeparator)
{
    EXPECT_EQ("C:", DirectoryPart("C:\\SETUP.EXE"));
    EXPECT_EQ("C:\\DIR", DirectoryPart("C:\\DIR\\README"));
    EXPECT_EQ("C:", DirectoryPart("C:\\DIR\\"));
    EXPECT_EQ("", DirectoryPart("A:"));
    EXPECT_EQ("\\\\SERVER", DirectoryPart("\\\\SERVER\\SHARE"));
    EXPECT_EQ("", DirectoryPart("C:\\"));
    EXPECT_EQ("", DirectoryPart(""));
    EXPECT_EQ("", DirectoryPart("x"));
}

TEST(IsValidDestPath, Table)
{
    struct Case {
        const char* path;
        BOOL valid;
    };
    const Case cases[] = {
        {"C:", TRUE},
        {"c:", TRUE},
        {"C:\\X", TRUE},
        {"C:\\Program Files", TRUE},
        {"C:\\Program Files\\My_App", TRUE},
        {"D:\\Vantler\\Tessel 2\\Bin9", TRUE},
        {"C:\\_x", FALSE},  // a backslash must be followed by a letter or digit
        {"C:\\A_", TRUE},
        {"C:\\A B C", TRUE},
        {"", FALSE},
        {"C", FALSE},
        {"C:\\", FALSE},
        {"C:\\X\\", FALSE},
        {"C:\\X\\\\Y", FALSE},
        {"C:\\Program  Files", FALSE},
        {"C:\\Program \\Files", TRUE},  // a space before a backslash is allowed
        {"C:\\ Files", FALSE},
        {"C:\\X\\ Y", FALSE},
        {"C:\\Files ", TRUE},  // a space after a letter, even at the end
        {"C:\\App.Old", FALSE},
        {"C:\\My-App", FALSE},
        {"C:\\A#", FALSE},
        {"C:\\A%", FALSE},
        {"C:\\A;", FALSE},
        {"C:/A", FALSE},
        {"1:\\X", FALSE},
        {"::", FALSE},
        {"CD\\X", FALSE},
        {"C:X", FALSE},
        {"C:\\Caf\xe9", FALSE},
        {"\xc4:\\X", FALSE},
        {"\\\\SERVER\\SHARE", FALSE},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.valid, IsValidDestPath(c.path)) << c.path;
}

TEST(IsValidDestPath, LengthLimitIs260)
{
    std::string path = "C:\\" + std::string(257, 'a');
    EXPECT_EQ(260u, path.size());
    EXPECT_TRUE(IsValidDestPath(path));
    EXPECT_FALSE(IsValidDestPath(path + "a"));
}

TEST(QuotedIfBlank, OnlyAPathWithABlankIsQuoted)
{
    EXPECT_EQ("C:\\Vantler\\Uninst.exe", QuotedIfBlank("C:\\Vantler\\Uninst.exe"));
    EXPECT_EQ("C:\\PROGRA~1\\VANTLER\\TESSEL.EXE", QuotedIfBlank("C:\\PROGRA~1\\VANTLER\\TESSEL.EXE"));
    EXPECT_EQ("\"C:\\Program Files\\Vantler\\Uninst.exe\"", QuotedIfBlank("C:\\Program Files\\Vantler\\Uninst.exe"));
    EXPECT_EQ("\"C:\\A\tB\\X.exe\"", QuotedIfBlank("C:\\A\tB\\X.exe"));
}

TEST(ShortenPathInMiddle, Table)
{
    const std::string deep = "C:\\Program Files\\Vantler\\VB\\Joust\\Joust.vbp";  // 43 characters
    const std::string flat = "C:\\" + std::string(186, 'a') + ".dll";              // 193, one name
    struct Case {
        std::string path;
        std::string::size_type max;
        std::string shortened;
    } cases[] = {
        {deep, 43, deep},
        {deep, std::string::npos, deep},
        {deep, 42, "C:\\...\\Vantler\\VB\\Joust\\Joust.vbp"},
        {deep, 33, "C:\\...\\Vantler\\VB\\Joust\\Joust.vbp"},
        {deep, 32, "C:\\...\\VB\\Joust\\Joust.vbp"},
        {deep, 16, "C:\\...\\Joust.vbp"},
        {deep, 15, "C:\\...Joust.vbp"},  // not even the name: its end
        {deep, 9, "C:\\...vbp"},
        {deep, 6, "C:\\..."},
        {deep, 0, "C:\\..."},
        {flat, 20, "C:\\..." + std::string(10, 'a') + ".dll"},
        {"\\\\SERVER\\SHARE\\Vantler\\Tessel.hlp", 31, "\\\\SERVER\\...\\Vantler\\Tessel.hlp"},
        {"\\\\SERVER\\SHARE\\Vantler\\Tessel.hlp", 30, "\\\\SERVER\\...\\Tessel.hlp"},
        {"Tessel.hlp", 6, "\\...lp"},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.shortened, ShortenPathInMiddle(c.path, c.max)) << c.path << " in " << c.max;
        EXPECT_LE(c.shortened.size(), std::max<std::string::size_type>(c.max, 6)) << c.path;
    }
}

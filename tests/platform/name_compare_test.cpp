#include "platform/name_compare.h"

#include <gtest/gtest.h>

TEST(SameNameIgnoringCase, FoldsLetterCaseOnly)
{
    struct Row {
        const char* a;
        const char* b;
        BOOL same;
    };
    const Row rows[] = {
        {"C:\\Windows\\System\\VantlerRt.dll", "c:\\WINDOWS\\system\\VANTLERRT.DLL", TRUE},
        {"Tessel.exe", "Tessel.exe ", FALSE},
        {"Tessel.exe", "Tessel.ex", FALSE},
        {"", "", TRUE},
        // No linguistic equivalence: these name different files.
        {"Stra\xDF" "e.dll", "STRASSE.DLL", FALSE},
        {"co-op.dll", "coop.dll", FALSE},
        {"a\xAD" "b.dll", "ab.dll", FALSE},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.same, SameNameIgnoringCase(row.a, row.b)) << row.a << " / " << row.b;
}

// Letters beyond ASCII fold as the code page defines them.
TEST(SameNameIgnoringCase, FoldsTheCodePagesOwnLetters)
{
    if (GetACP() != 1252)
        GTEST_SKIP() << "code page " << GetACP();
    EXPECT_TRUE(SameNameIgnoringCase("\xC4pfel.dll", "\xE4PFEL.DLL"));
    EXPECT_FALSE(SameNameIgnoringCase("\xC4pfel.dll", "Apfel.dll"));
}

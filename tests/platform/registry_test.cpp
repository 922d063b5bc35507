// Runs on the real registry, below a key of its own under HKLM\Software that
// every test removes again.
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <list>
#include <string>

#include "tests/support/key_lock.h"

namespace {

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[64];
        std::snprintf(name, sizeof name, "Software\\VantlerPlatformTest%lu", GetCurrentProcessId());
        m_root = name;
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_root.c_str());
    }
    void TearDown() override
    {
        m_locks.clear();
        RedirectRegistryRoot(HKEY_CLASSES_ROOT, nullptr);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_root.c_str());
    }

    std::string Key(const std::string& below) const { return m_root + "\\" + below; }

    // Gives every user only the access named, until the test ends.
    void Lock(const std::string& key, DWORD access)
    {
        ASSERT_EQ(ERROR_SUCCESS, m_locks.emplace_back(HKEY_LOCAL_MACHINE, key, access).Result());
    }

    static void PutRaw(const std::string& key, const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY handle;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &handle, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size));
        RegCloseKey(handle);
    }

    // Type and size of a value as stored, or false when it is not there.
    static bool Stored(const std::string& key, const char* name, DWORD& type, DWORD& size)
    {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
            return false;
        LONG code = RegQueryValueExA(handle, name, nullptr, &type, nullptr, &size);
        RegCloseKey(handle);
        return code == ERROR_SUCCESS;
    }

    static bool Exists(HKEY root, const std::string& key)
    {
        HKEY handle;
        if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
            return false;
        RegCloseKey(handle);
        return true;
    }

    std::string m_root;
    std::list<KeyLock> m_locks;
};

}  // namespace

TEST_F(RegistryTest, SetRegStringCreatesEveryLevelAndWritesTheTerminator)
{
    const std::string key = Key("App Paths\\Tessel.exe");
    ASSERT_EQ(ERROR_SUCCESS, SetRegString(HKEY_LOCAL_MACHINE, key, "Path", "C:\\Vantler"));
    DWORD type = 0, size = 0;
    ASSERT_TRUE(Stored(key, "Path", type, size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(11u, size);

    std::string text;
    ASSERT_EQ(ERROR_SUCCESS, GetRegString(HKEY_LOCAL_MACHINE, key, "Path", text));
    EXPECT_EQ("C:\\Vantler", text);

    // The default value, and an empty text of one byte.
    ASSERT_EQ(ERROR_SUCCESS, SetRegString(HKEY_LOCAL_MACHINE, key, "", "C:\\Vantler\\Tessel.exe"));
    ASSERT_EQ(ERROR_SUCCESS, GetRegString(HKEY_LOCAL_MACHINE, key, "", text));
    EXPECT_EQ("C:\\Vantler\\Tessel.exe", text);
    ASSERT_EQ(ERROR_SUCCESS, SetRegString(HKEY_LOCAL_MACHINE, key, "Empty", ""));
    ASSERT_TRUE(Stored(key, "Empty", type, size));
    EXPECT_EQ(1u, size);
    text = "old";
    ASSERT_EQ(ERROR_SUCCESS, GetRegString(HKEY_LOCAL_MACHINE, key, "Empty", text));
    EXPECT_EQ("", text);
}

TEST_F(RegistryTest, GetRegStringReadsAtMost516Bytes)
{
    const std::string key = Key("Long");
    const std::string fits(515, 'x');
    PutRaw(key, "Fits", REG_SZ, fits.c_str(), 516);
    std::string text;
    ASSERT_EQ(ERROR_SUCCESS, GetRegString(HKEY_LOCAL_MACHINE, key, "Fits", text));
    EXPECT_EQ(fits, text);

    const std::string tooLong(516, 'y');
    PutRaw(key, "TooLong", REG_SZ, tooLong.c_str(), 517);
    text = "unchanged";
    SetLastError(0);
    EXPECT_EQ(ERROR_MORE_DATA, GetRegString(HKEY_LOCAL_MACHINE, key, "TooLong", text));
    EXPECT_EQ("unchanged", text);
    EXPECT_EQ(static_cast<DWORD>(ERROR_MORE_DATA), GetLastError());
}

TEST_F(RegistryTest, GetRegStringTakesUnterminatedBytesWhole)
{
    const std::string key = Key("Raw");
    PutRaw(key, "Three", REG_BINARY, "abc", 3);
    const std::string full(516, 'z');
    PutRaw(key, "Full", REG_BINARY, full.data(), 516);
    std::string text;
    ASSERT_EQ(ERROR_SUCCESS, GetRegString(HKEY_LOCAL_MACHINE, key, "Three", text));
    EXPECT_EQ("abc", text);
    ASSERT_EQ(ERROR_SUCCESS, GetRegString(HKEY_LOCAL_MACHINE, key, "Full", text));
    EXPECT_EQ(full, text);
}

TEST_F(RegistryTest, MissingKeysAndValuesGiveFileNotFound)
{
    ASSERT_EQ(ERROR_SUCCESS, CreateRegKey(HKEY_LOCAL_MACHINE, Key("Present")));
    std::string text = "unchanged";
    DWORD number = 7;
    SetLastError(0);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegString(HKEY_LOCAL_MACHINE, Key("Missing"), "x", text));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegString(HKEY_LOCAL_MACHINE, Key("Present"), "x", text));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegString(HKEY_LOCAL_MACHINE, Key("Present"), "", text));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegDword(HKEY_LOCAL_MACHINE, Key("Missing"), "x", number));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegDword(HKEY_LOCAL_MACHINE, Key("Present"), "x", number));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteRegValue(HKEY_LOCAL_MACHINE, Key("Present"), "x"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteRegValue(HKEY_LOCAL_MACHINE, Key("Missing"), "x"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegKeyExists(HKEY_LOCAL_MACHINE, Key("Missing")));
    EXPECT_EQ(ERROR_SUCCESS, RegKeyExists(HKEY_LOCAL_MACHINE, Key("Present")));
    EXPECT_EQ("unchanged", text);
    EXPECT_EQ(7u, number);
}

TEST_F(RegistryTest, DwordsAreFourBytes)
{
    const std::string key = Key("SharedDLLs");
    const std::string name = "C:\\Windows\\system32\\Vantler.ocx";
    ASSERT_EQ(ERROR_SUCCESS, SetRegDword(HKEY_LOCAL_MACHINE, key, name, 3));
    DWORD type = 0, size = 0;
    ASSERT_TRUE(Stored(key, name.c_str(), type, size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, size);
    DWORD number = 0;
    ASSERT_EQ(ERROR_SUCCESS, GetRegDword(HKEY_LOCAL_MACHINE, key, name, number));
    EXPECT_EQ(3u, number);

    const unsigned long long wide = 5;
    PutRaw(key, "Wide", REG_QWORD, &wide, 8);
    EXPECT_EQ(ERROR_MORE_DATA, GetRegDword(HKEY_LOCAL_MACHINE, key, "Wide", number));
    EXPECT_EQ(3u, number);

    ASSERT_EQ(ERROR_SUCCESS, DeleteRegValue(HKEY_LOCAL_MACHINE, key, name));
    EXPECT_FALSE(Stored(key, name.c_str(), type, size));
}

TEST_F(RegistryTest, DeleteRegKeyTreeRemovesNestedKeys)
{
    for (const char* below : {"Tree\\A\\B\\C", "Tree\\A\\B2", "Tree\\D", "Tree\\E\\F"})
        ASSERT_EQ(ERROR_SUCCESS, CreateRegKey(HKEY_LOCAL_MACHINE, Key(below)));
    ASSERT_EQ(ERROR_SUCCESS, SetRegString(HKEY_LOCAL_MACHINE, Key("Tree\\A\\B\\C"), "v", "x"));
    EXPECT_EQ(ERROR_SUCCESS, DeleteRegKeyTree(HKEY_LOCAL_MACHINE, Key("Tree")));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, Key("Tree")));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, m_root));

    SetLastError(0);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, DeleteRegKeyTree(HKEY_LOCAL_MACHINE, Key("Tree")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(RegistryTest, DeleteRegKeyTreeStopsAtTheFirstFailure)
{
    for (const char* below : {"Tree\\A", "Tree\\C\\Inner", "Tree\\Z"})
        ASSERT_EQ(ERROR_SUCCESS, CreateRegKey(HKEY_LOCAL_MACHINE, Key(below)));
    // A key that cannot be listed stops the walk there.
    Lock(Key("Tree\\C"), 0);
    SetLastError(0);
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteRegKeyTree(HKEY_LOCAL_MACHINE, Key("Tree")));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, Key("Tree\\A")));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, Key("Tree\\C\\Inner")));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, Key("Tree\\Z")));
}

// Whole values go back exactly as they were: type and bytes, beyond the
// string helpers' limits and outside the ANSI code page too.
TEST_F(RegistryTest, WholeValuesComeBackExactly)
{
    const std::string key = Key("Whole"), copy = Key("Copy");
    const std::wstring text(600, L't');
    const unsigned long long wide = 0x1122334455667788ull;
    const struct {
        const char* name;
        DWORD type;
        const void* data;
        DWORD size;
    } rows[] = {
        {"Long", REG_SZ, text.c_str(), 1202},
        {"Text", REG_SZ, L"127", 8},
        {"Not ANSI", REG_SZ, L"\x65e5\x672c", 6},
        {"Count", REG_DWORD, "\xff\xff\xff\xff", 4},
        {"Wide", REG_QWORD, &wide, 8},
        {"Empty", REG_BINARY, "", 0},
        {"", REG_EXPAND_SZ, L"%windir%", 18},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HKEY handle;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &handle, nullptr));
        const std::wstring name(row.name, row.name + strlen(row.name));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(handle, name.c_str(), 0, row.type, static_cast<const BYTE*>(row.data),
                                                row.size));
        RegCloseKey(handle);
        RegValue value;
        ASSERT_EQ(ERROR_SUCCESS, GetRegValue(HKEY_LOCAL_MACHINE, key, row.name, value));
        EXPECT_EQ(row.type, value.dwType);
        EXPECT_EQ(std::string(static_cast<const char*>(row.data), row.size), value.data);
        ASSERT_EQ(ERROR_SUCCESS, SetRegValue(HKEY_LOCAL_MACHINE, copy, row.name, value));
        RegValue again;
        ASSERT_EQ(ERROR_SUCCESS, GetRegValue(HKEY_LOCAL_MACHINE, copy, row.name, again));
        EXPECT_EQ(value.dwType, again.dwType);
        EXPECT_EQ(value.data, again.data);
    }
    RegValue value;
    value.dwType = REG_DWORD;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegValue(HKEY_LOCAL_MACHINE, key, "Missing", value));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegValue(HKEY_LOCAL_MACHINE, Key("Missing"), "x", value));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), value.dwType);
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWritesWithAccessDenied)
{
    const std::string key = Key("ReadOnly");
    ASSERT_EQ(ERROR_SUCCESS, SetRegString(HKEY_LOCAL_MACHINE, key, "v", "old"));
    Lock(key, KEY_READ);

    SetLastError(0);
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetRegString(HKEY_LOCAL_MACHINE, key, "v", "new"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetRegDword(HKEY_LOCAL_MACHINE, key, "n", 1));
    EXPECT_EQ(ERROR_ACCESS_DENIED, DeleteRegValue(HKEY_LOCAL_MACHINE, key, "v"));
    std::string text;
    EXPECT_EQ(ERROR_SUCCESS, GetRegString(HKEY_LOCAL_MACHINE, key, "v", text));
    EXPECT_EQ("old", text);
    EXPECT_EQ(ERROR_SUCCESS, RegKeyExists(HKEY_LOCAL_MACHINE, key));
}

TEST_F(RegistryTest, EachHelperAsksForNoMoreRightsThanItNeeds)
{
    const std::string query = Key("QueryOnly"), write = Key("WriteOnly"), set = Key("SetOnly");
    for (const std::string& key : {query, write, set})
        ASSERT_EQ(ERROR_SUCCESS, SetRegDword(HKEY_LOCAL_MACHINE, key, "n", 9));
    Lock(query, KEY_QUERY_VALUE);
    Lock(write, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    Lock(set, KEY_SET_VALUE);

    // The getters only query values; RegKeyExists wants the whole of KEY_READ.
    DWORD number = 0;
    EXPECT_EQ(ERROR_SUCCESS, GetRegDword(HKEY_LOCAL_MACHINE, query, "n", number));
    EXPECT_EQ(9u, number);
    std::string text;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRegString(HKEY_LOCAL_MACHINE, query, "missing", text));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegKeyExists(HKEY_LOCAL_MACHINE, query));

    // The setters need reading, setting and sub-key creation, not full access.
    EXPECT_EQ(ERROR_SUCCESS, SetRegString(HKEY_LOCAL_MACHINE, write, "v", "x"));
    EXPECT_EQ(ERROR_SUCCESS, SetRegDword(HKEY_LOCAL_MACHINE, write, "n", 10));

    // Deleting a value needs only the right to set values.
    EXPECT_EQ(ERROR_ACCESS_DENIED, SetRegDword(HKEY_LOCAL_MACHINE, set, "n", 11));
    EXPECT_EQ(ERROR_SUCCESS, DeleteRegValue(HKEY_LOCAL_MACHINE, set, "n"));
}

TEST_F(RegistryTest, UnreadableKeyDoesNotExistForTheCaller)
{
    const std::string key = Key("Unreadable");
    ASSERT_EQ(ERROR_SUCCESS, CreateRegKey(HKEY_LOCAL_MACHINE, key));
    Lock(key, 0);
    SetLastError(0);
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegKeyExists(HKEY_LOCAL_MACHINE, key));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
}

TEST_F(RegistryTest, InputBeyondTheBuffersIsRefused)
{
    // 259 characters of key path still fit.
    std::string key = Key("");
    key += std::string(259 - key.size(), 'k');
    ASSERT_EQ(259u, key.size());
    EXPECT_EQ(ERROR_SUCCESS, CreateRegKey(HKEY_LOCAL_MACHINE, key));

    SetLastError(0);
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, CreateRegKey(HKEY_LOCAL_MACHINE, key + "k"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), GetLastError());
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, SetRegString(HKEY_LOCAL_MACHINE, key + "k", "v", "x"));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, DeleteRegKeyTree(HKEY_LOCAL_MACHINE, key + "k"));

    const std::string small = Key("Limits");
    EXPECT_EQ(ERROR_SUCCESS, SetRegString(HKEY_LOCAL_MACHINE, small, std::string(255, 'n'), std::string(259, 't')));
    EXPECT_EQ(ERROR_FILENAME_EXCED_RANGE, SetRegDword(HKEY_LOCAL_MACHINE, small, std::string(256, 'n'), 1));
    SetLastError(0);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, SetRegString(HKEY_LOCAL_MACHINE, small, "v", std::string(260, 't')));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    DWORD type, size;
    EXPECT_FALSE(Stored(small, "v", type, size));

    // An empty path would name the root itself.
    EXPECT_EQ(ERROR_INVALID_PARAMETER, DeleteRegKeyTree(HKEY_LOCAL_MACHINE, ""));
}

TEST_F(RegistryTest, RedirectedRootWritesBelowTheTestKey)
{
    ASSERT_EQ(ERROR_SUCCESS, CreateRegKey(HKEY_LOCAL_MACHINE, Key("Classes")));
    HKEY classes;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key("Classes").c_str(), 0, KEY_ALL_ACCESS, &classes));
    RedirectRegistryRoot(HKEY_CLASSES_ROOT, classes);
    EXPECT_EQ(ERROR_SUCCESS, SetRegString(HKEY_CLASSES_ROOT, ".vtrtest\\ShellNew", "NullFile", ""));
    EXPECT_EQ(ERROR_SUCCESS, RegKeyExists(HKEY_CLASSES_ROOT, ".vtrtest"));
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, Key("Classes\\.vtrtest\\ShellNew")));
    EXPECT_EQ(ERROR_SUCCESS, DeleteRegKeyTree(HKEY_CLASSES_ROOT, ".vtrtest"));
    RedirectRegistryRoot(HKEY_CLASSES_ROOT, nullptr);
    EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, ".vtrtest"));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, Key("Classes\\.vtrtest")));
    RegCloseKey(classes);
}

// The portable version-resource reader against the platform's own
// GetFileVersionInfoA / VerQueryValueA("\") on real binaries: this test
// program, resource-only DLLs of both image kinds, the sample product and
// the system's own libraries; and files without a record.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/setupedit/pe_version.h"

namespace {

std::vector<std::string> Split(const std::string& list)
{
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < list.size()) {
        std::size_t end = list.find('|', at);
        if (end == std::string::npos)
            end = list.size();
        if (end > at)
            out.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// The platform's record: true and 52 bytes, or false when it finds none.
bool PlatformRecord(const std::string& path, VersionRecord out)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()))
        return false;
    void* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(block.data(), "\\", &value, &len) || len < kVersionRecordSize)
        return false;
    std::memcpy(out, value, kVersionRecordSize);
    return true;
}

std::string Hex(const VersionRecord r)
{
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < kVersionRecordSize; ++i) {
        std::snprintf(buf, sizeof buf, "%02X", r[i]);
        s += buf;
    }
    return s;
}

TEST(PeVersionWine, AgreesWithThePlatformOnRealBinaries)
{
    std::vector<std::string> files = Split(VERSION_SAMPLE_FILES);
    char self[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, self, MAX_PATH));
    files.push_back(self);
    char sys[MAX_PATH];
    ASSERT_NE(0u, GetSystemDirectoryA(sys, MAX_PATH));
    for (const char* name : {"kernel32.dll", "user32.dll", "comctl32.dll", "version.dll", "ole32.dll",
                             "advapi32.dll", "shell32.dll", "notepad.exe", "regedit.exe", "winver.exe"})
        files.push_back(std::string(sys) + "\\" + name);

    int withRecord = 0, compared = 0;
    for (const std::string& f : files) {
        if (GetFileAttributesA(f.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        ++compared;
        VersionRecord mine, theirs;
        bool platform = PlatformRecord(f, theirs);
        bool ours = ReadFixedVersionOfFile(f, mine);
        EXPECT_EQ(platform, ours) << f;
        if (platform && ours) {
            EXPECT_EQ(Hex(theirs), Hex(mine)) << f;
            ++withRecord;
        }
    }
    std::printf("compared %d files, %d with a version record\n", compared, withRecord);
    EXPECT_GE(withRecord, 5);

    VersionRecord rec;
    ASSERT_TRUE(ReadFixedVersionOfFile(self, rec));
    EXPECT_EQ("2.7.1.8", ProductVersionString(rec));
    EXPECT_EQ("3.1.4.1", FileVersionString(rec));
}

TEST(PeVersionWine, NoRecordOnEitherSide)
{
    TempDir dir;
    std::string text = dir.WriteFile("plain.txt", "not an image");
    std::string mz = dir.WriteFile("short.exe", "MZ");
    for (const std::string& f : {text, mz}) {
        VersionRecord mine, theirs;
        EXPECT_FALSE(PlatformRecord(f, theirs)) << f;
        EXPECT_FALSE(ReadFixedVersionOfFile(f, mine)) << f;
    }
}

}  // namespace

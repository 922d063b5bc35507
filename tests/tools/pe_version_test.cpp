// The portable version-resource reader on images built here: both image
// kinds, and damaged or hostile images that must give "no record" safely.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/support/temp_dir.h"
#include "tests/tools/pe_image_builder.h"
#include "tools/setupedit/pe_version.h"
#include "tools/setupedit/tool_error.h"

namespace {

bool Read(const std::vector<std::uint8_t>& image, VersionRecord rec)
{
    MemorySource src(image);
    return ReadFixedVersion(src, rec);
}

bool AllZero(const VersionRecord rec)
{
    for (std::size_t i = 0; i < kVersionRecordSize; ++i) {
        if (rec[i] != 0)
            return false;
    }
    return true;
}

TEST(PeVersion, ReadsTheFixedRecordOfPe32AndPe32Plus)
{
    for (bool plus : {false, true}) {
        PeLayout l;
        std::vector<std::uint8_t> image = BuildPeImage(plus, 0x00010002, 0x00030004, &l);
        VersionRecord rec;
        ASSERT_TRUE(Read(image, rec)) << (plus ? "PE32+" : "PE32");
        EXPECT_EQ(0, std::memcmp(rec, &image[l.versionInfo + 40], kVersionRecordSize));
        EXPECT_EQ("1.2.3.4", ProductVersionString(rec));
        EXPECT_EQ("5.6.7.8", FileVersionString(rec));
    }
}

TEST(PeVersion, FilesWithoutARecordGiveZeros)
{
    VersionRecord rec;
    std::memset(rec, 0xAA, sizeof rec);
    EXPECT_FALSE(Read(std::vector<std::uint8_t>{'M', 'Z'}, rec));
    EXPECT_TRUE(AllZero(rec));
    std::vector<std::uint8_t> text(4096, 'x');
    EXPECT_FALSE(Read(text, rec));
    EXPECT_TRUE(AllZero(rec));
    // Another resource type, or version resource under another name than 1.
    EXPECT_FALSE(Read(BuildPeImage(false, 1, 2, nullptr, 3), rec));
    EXPECT_FALSE(Read(BuildPeImage(false, 1, 2, nullptr, 16, 2), rec));
}

TEST(PeVersion, RejectsAMalformedVersionBlock)
{
    VersionRecord rec;
    PeLayout l;
    std::vector<std::uint8_t> good = BuildPeImage(true, 1, 2, &l);

    std::vector<std::uint8_t> b = good;
    b[l.versionInfo + 40] ^= 1;  // signature
    EXPECT_FALSE(Read(b, rec));
    b = good;
    b[l.versionInfo + 8] = 'X';  // key
    EXPECT_FALSE(Read(b, rec));
    b = good;
    PutLe(b, l.versionInfo + 2, 51, 2);  // value too short to be the record
    EXPECT_FALSE(Read(b, rec));
    b = good;
    PutLe(b, l.dataEntry + 4, 60, 4);  // resource smaller than header + record
    EXPECT_FALSE(Read(b, rec));
    EXPECT_TRUE(AllZero(rec));
}

TEST(PeVersion, HostileOffsetsAndCountsStayInBounds)
{
    VersionRecord rec;
    PeLayout l;
    std::vector<std::uint8_t> good = BuildPeImage(false, 1, 2, &l);
    struct Patch {
        std::size_t at;
        std::uint32_t value;
        int width;
    };
    const Patch patches[] = {
        {0x3C, 0xFFFFFFF0u, 4},                          // PE header beyond the file
        {0x3C, static_cast<std::uint32_t>(good.size() - 8), 4},  // PE header cut short
        {l.peHeader + 6, 0xFFFF, 2},                     // section count beyond the file
        {l.peHeader + 20, 0, 2},                         // no optional header
        {l.peHeader + 20, 0xFFFF, 2},                    // optional header over the sections
        {l.optHeader + 92, 2, 4},                        // no resource directory entry
        {l.optHeader + 96 + 16, 0xFFFFFF00u, 4},         // resource RVA wraps
        {l.sectionTable + 16, 0xFFFFFFFFu, 4},           // raw size beyond the file
        {l.sectionTable + 20, 0xFFFFFF00u, 4},           // raw offset beyond the file
        {l.rsrc + 14, 0xFFFF, 2},                        // entry count beyond the section
        {l.rsrc + 20, 0x8FFFFFF0u, 4},                   // subdirectory far outside
        {l.rsrc + 20, 0x80000000u, 4},                   // subdirectory pointing at the root
        {l.rsrc + 0x30 + 20, 0x80000030u, 4},            // language level is a directory
        {l.dataEntry, 0xFFFFFFF0u, 4},                   // data RVA wraps
        {l.dataEntry + 4, 0xFFFFFFFFu, 4},               // data size beyond the section
        {l.dataEntry, 0x1000 + 0xE0, 4},                 // data running off the section end
    };
    for (const Patch& p : patches) {
        std::vector<std::uint8_t> b = good;
        PutLe(b, p.at, p.value, p.width);
        EXPECT_FALSE(Read(b, rec)) << "patch at " << p.at;
        EXPECT_TRUE(AllZero(rec));
    }
}

TEST(PeVersion, EveryTruncationAndRandomDamageIsSafe)
{
    std::vector<std::uint8_t> good = BuildPeImage(true, 1, 2);
    VersionRecord rec;
    for (std::size_t n = 0; n < good.size(); ++n) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + n);
        EXPECT_FALSE(Read(cut, rec)) << "length " << n;
    }
    std::mt19937 rnd(12345);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> b = good;
        for (int k = 0; k < 4; ++k)
            b[rnd() % b.size()] = static_cast<std::uint8_t>(rnd());
        if (Read(b, rec)) {
            EXPECT_EQ(0xBDu, rec[0]);  // only a record with its signature is returned
        }
    }
}

TEST(PeVersion, ReadsFromFilesAndFailsOnAMissingOne)
{
    TempDir dir;
    std::vector<std::uint8_t> image = BuildPeImage(false, 0x00090000, 0);
    std::string path = dir.WriteFile("a.dll", std::string(image.begin(), image.end()));
    VersionRecord rec;
    ASSERT_TRUE(ReadFixedVersionOfFile(path, rec));
    EXPECT_EQ("9.0.0.0", ProductVersionString(rec));
    EXPECT_FALSE(ReadFixedVersionOfFile(dir.WriteFile("empty.txt", ""), rec));
    EXPECT_THROW(ReadFixedVersionOfFile(dir.Path("missing.dll"), rec), ToolError);
}

}  // namespace

namespace {

// Images as the mingw linker makes them, of both kinds, when the build has them.
TEST(PeVersion, ReadsLinkerBuiltImages)
{
    std::string list = VERSION_SAMPLE_DLLS;
    if (list.empty())
        GTEST_SKIP() << "no mingw tools in this build";
    for (std::size_t at = 0, end; (end = list.find('|', at)) != std::string::npos; at = end + 1) {
        std::string path = list.substr(at, end - at);
        VersionRecord rec;
        ASSERT_TRUE(ReadFixedVersionOfFile(path, rec)) << path;
        EXPECT_EQ("2.7.1.8", ProductVersionString(rec)) << path;
        EXPECT_EQ("3.1.4.1", FileVersionString(rec)) << path;
        EXPECT_EQ(0x2u, rec[28]) << path;  // dwFileFlags
    }
}

}  // namespace

// The medium's checksums: CRC-32C against its published check values, the
// processor's path against the tables, and the checksum file written and
// read back byte for byte, with every damage of it refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "framework/mem_file.h"
#include "model/crc32c.h"
#include "model/install_mngr.h"
#include "model/medium_checksums.h"

namespace {

using Bytes = std::vector<BYTE>;

DWORD Crc(const Bytes& bytes) { return Crc32c(0, bytes.data(), bytes.size()); }

TEST(Crc32c, CheckValues)
{
    const std::string nine = "123456789";
    Bytes zeros(32, 0), ones(32, 0xFF), up(32), down(32);
    for (int i = 0; i < 32; ++i) {
        up[i] = static_cast<BYTE>(i);
        down[i] = static_cast<BYTE>(31 - i);
    }
    // The catalogue's check value and the iSCSI test patterns.
    EXPECT_EQ(0xE3069283u, Crc32c(0, nine.data(), nine.size()));
    EXPECT_EQ(0x8A9136AAu, Crc(zeros));
    EXPECT_EQ(0x62A8AB43u, Crc(ones));
    EXPECT_EQ(0x46DD794Eu, Crc(up));
    EXPECT_EQ(0x113FDB5Cu, Crc(down));
    EXPECT_EQ(0u, Crc32c(0, nullptr, 0));
}

// Every length and alignment around the processor path's 64- and 16-byte
// steps, whole and in two pieces, agrees with the tables.
TEST(Crc32c, InstructionsAgreeWithTheTables)
{
    std::printf("CRC-32C by %s\n", HasCrc32cInstructions() ? "PCLMULQDQ and SSE4.2" : "tables");
    std::mt19937 rnd(18);
    Bytes data(20000);
    for (BYTE& b : data)
        b = static_cast<BYTE>(rnd());
    for (size_t size : {0, 1, 3, 4, 15, 16, 17, 63, 64, 65, 79, 80, 127, 128, 129, 1000, 10000, 19990}) {
        for (size_t offset = 0; offset < 9; ++offset) {
            const BYTE* p = data.data() + offset;
            const DWORD whole = Crc32c(0, p, size);
            EXPECT_EQ(Crc32cByTable(0, p, size), whole) << size << " at " << offset;
            EXPECT_EQ(Crc32c(Crc32c(0, p, size / 3), p + size / 3, size - size / 3), whole) << size;
        }
    }
}

// Two files of a small tree and the disk-1 files, as the writer lays them out.
CMediumChecksums Sample()
{
    CMediumChecksums sums;
    sums.m_entries = {{2090, 0x11223344}, {300, 0xA1B2C3D4}, {1000, 0x01020304}, {0, 0}};
    return sums;
}

Bytes Stored(const CMediumChecksums& sums)
{
    CMemFile file;
    sums.Store(file);
    return file.Data();
}

CMediumChecksums::Result Loaded(const Bytes& bytes, CMediumChecksums& sums)
{
    CMemFile file(bytes.data(), bytes.size());
    return sums.Load(file);
}

TEST(MediumChecksums, ByteExactRoundTrip)
{
    const Bytes bytes = Stored(Sample());
    const Bytes head = {'V', 'C', 'R', 'C', 1, 0, 0, 0, 4, 0, 0, 0,  // signature, version, count
                        0x2A, 0x08, 0, 0, 0x44, 0x33, 0x22, 0x11};      // Setup.dat: 2090 bytes, its CRC
    ASSERT_EQ(16u + 8 * 4, bytes.size());
    EXPECT_EQ(head, Bytes(bytes.begin(), bytes.begin() + head.size()));
    const Bytes body(bytes.begin(), bytes.end() - 4);
    const DWORD stored = bytes[44] | bytes[45] << 8 | bytes[46] << 16 | static_cast<DWORD>(bytes[47]) << 24;
    EXPECT_EQ(Crc(body), stored);

    CMediumChecksums read;
    read.m_entries = {{1, 1}};
    ASSERT_EQ(CMediumChecksums::LOADED, Loaded(bytes, read));
    EXPECT_TRUE(read.m_entries == Sample().m_entries);
}

// Whatever is wrong with the file, it is never taken for a checksum file,
// and a refused one leaves no entries behind.
TEST(MediumChecksums, EveryDamageIsRefused)
{
    const Bytes good = Stored(Sample());
    auto refused = [&](const Bytes& bytes) {
        CMediumChecksums sums = Sample();
        const CMediumChecksums::Result result = Loaded(bytes, sums);
        return result != CMediumChecksums::LOADED && sums.m_entries.empty();
    };
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + n))) << "cut to " << n;
    Bytes longer = good;
    longer.push_back(0);
    EXPECT_TRUE(refused(longer));
    for (size_t i = 0; i < good.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            Bytes flipped = good;
            flipped[i] ^= static_cast<BYTE>(1 << bit);
            EXPECT_TRUE(refused(flipped)) << "byte " << i << " bit " << bit;
        }
    }
    // A version this reader does not know is named as such, and not read further.
    Bytes newer = good;
    newer[4] = 2;
    CMediumChecksums sums;
    EXPECT_EQ(CMediumChecksums::UNKNOWN_VERSION, Loaded(newer, sums));
    // A count beyond the file, and one too small for the disk-1 files, with
    // a checksum of their own that fits.
    for (DWORD count : {0xFFFFFFFFu, 1u}) {
        CMediumChecksums few;
        few.m_entries.assign(count == 1 ? 1 : 2, FileChecksum());
        Bytes hostile = Stored(few);
        hostile[8] = static_cast<BYTE>(count);
        hostile[9] = hostile[10] = hostile[11] = static_cast<BYTE>(count >> 8);
        EXPECT_EQ(CMediumChecksums::DAMAGED, Loaded(hostile, sums)) << count;
    }
}

TEST(MediumChecksums, MatchDescriptionsOfTheSameFilesOnly)
{
    CInstallMngr description;
    InstallNode* app = description.AddDirectory(description.GetRoot(), ROOT_APPLICATION_NAME);
    description.AddDirectory(description.GetRoot(), ROOT_SYSTEM_NAME);
    description.AddFile(*description.AddDirectory(*app, "Docs"), "read.txt", 1000);
    description.AddFile(*app, "empty.txt", 0);
    description.m_dwUninstBytes = 300;
    const struct {
        const char* what;
        std::vector<FileChecksum> entries;
        bool matches;
    } rows[] = {
        {"the same files", Sample().m_entries, true},
        {"one file fewer", {{2090, 1}, {300, 1}, {1000, 1}}, false},
        {"one file more", {{2090, 1}, {300, 1}, {1000, 1}, {0, 0}, {0, 0}}, false},
        {"a file of another size", {{2090, 1}, {300, 1}, {999, 1}, {0, 0}}, false},
        {"another uninstaller", {{2090, 1}, {301, 1}, {1000, 1}, {0, 0}}, false},
        {"none at all", {}, false},
    };
    for (const auto& row : rows) {
        CMediumChecksums sums;
        sums.m_entries = row.entries;
        EXPECT_EQ(row.matches, sums.MatchesDescription(description)) << row.what;
    }
}

TEST(MediumChecksums, ChecksumToTheEndOfAFile)
{
    const std::string text = "123456789";
    CMemFile file(text.data(), text.size());
    file.Seek(3, CFile::begin);
    const FileChecksum sum = ChecksumToEnd(file);
    EXPECT_EQ(6u, sum.dwSize);
    EXPECT_EQ(Crc32c(0, text.data() + 3, 6), sum.dwCrc);
}

}  // namespace

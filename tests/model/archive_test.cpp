#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/mem_file.h"
#include "model/archive.h"
#include "model/mem_status.h"
#include "tests/support/temp_dir.h"

namespace {

using Bytes = std::vector<BYTE>;

template <typename Fn>
Bytes Store(Fn fn)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    fn(ar);
    ar.Close();
    return file.Data();
}

Bytes Prefix(const Bytes& bytes, size_t n) { return Bytes(bytes.begin(), bytes.begin() + n); }

int ArchiveCause(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

TEST(ArchiveTest, IntegersAreLittleEndian)
{
    Bytes bytes = Store([](CArchive& ar) {
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0x1234) << static_cast<DWORD>(1)
           << static_cast<LONG>(-2);
    });
    EXPECT_EQ(bytes, (Bytes{0xAB, 0x34, 0x12, 0x01, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0xFF, 0xFF}));

    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    BYTE b;
    WORD w;
    DWORD dw;
    LONG l;
    ar >> b >> w >> dw >> l;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(dw, 1u);
    EXPECT_EQ(l, -2);
}

TEST(ArchiveTest, StringPrefixesAtTheirBoundaries)
{
    struct Case {
        size_t length;
        Bytes prefix;
    } cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        std::string text(c.length, 'q');
        if (c.length)
            text.back() = 'z';
        Bytes bytes = Store([&](CArchive& ar) { ar << text; });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(Prefix(bytes, c.prefix.size()), c.prefix) << c.length;

        CMemFile file(bytes.data(), bytes.size());
        CArchive ar(&file, CArchive::load);
        std::string back = "old";
        ar >> back;
        EXPECT_EQ(back, text) << c.length;
        EXPECT_EQ(ar.GetBytesLeft(), 0u);
    }
}

TEST(ArchiveTest, SixteenBitStringsAreConverted)
{
    Bytes bytes{0xFF, 0xFE, 0xFF, 0x03, 'A', 0, 0xE9, 0, 'z', 0, 0x77};
    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    std::string text;
    ar >> text;
    EXPECT_EQ(text, "A\xE9z");  // Latin-1 e acute, also in the Western ANSI code page
    BYTE next;
    ar >> next;
    EXPECT_EQ(next, 0x77);

    // The longer prefix may follow the marker, and a character outside the code page degrades.
    Bytes longer{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0x3A, 0x26};
    CMemFile file2(longer.data(), longer.size());
    CArchive ar2(&file2, CArchive::load);
    ar2 >> text;
    EXPECT_EQ(text, "?");

    // The euro sign is byte 0x80 of the product's code page on every host.
    Bytes euro{0xFF, 0xFE, 0xFF, 0x01, 0xAC, 0x20};
    CMemFile file3(euro.data(), euro.size());
    CArchive ar3(&file3, CArchive::load);
    ar3 >> text;
    EXPECT_EQ(text, "\x80");
}

TEST(ArchiveTest, ClosingALoadingArchiveHandsTheFileBackAfterWhatWasRead)
{
    Bytes bytes(6000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<BYTE>(i);
    CMemFile file(bytes.data(), bytes.size());
    {
        CArchive ar(&file, CArchive::load);
        DWORD first;
        ar >> first;  // the buffer has read far ahead of these 4 bytes
        ar.Close();
    }
    EXPECT_EQ(file.GetPosition(), 4u);
    CArchive next(&file, CArchive::load);
    BYTE fifth;
    next >> fifth;
    EXPECT_EQ(fifth, 4);
}

TEST(ArchiveTest, ShortStreamsEndInEndOfFile)
{
    const Bytes halfWord{0x01};
    EXPECT_EQ(ArchiveCause([&] {
                  CMemFile file(halfWord.data(), halfWord.size());
                  CArchive ar(&file, CArchive::load);
                  WORD w;
                  ar >> w;
              }),
              CArchiveException::endOfFile);

    const Bytes shortText{0x05, 'a', 'b'};
    EXPECT_EQ(ArchiveCause([&] {
                  CMemFile file(shortText.data(), shortText.size());
                  CArchive ar(&file, CArchive::load);
                  std::string s;
                  ar >> s;
              }),
              CArchiveException::endOfFile);

    // A second 16-bit marker is no valid prefix.
    const Bytes twoMarkers{0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF, 0x01, 'a', 0};
    EXPECT_EQ(ArchiveCause([&] {
                  CMemFile file(twoMarkers.data(), twoMarkers.size());
                  CArchive ar(&file, CArchive::load);
                  std::string s;
                  ar >> s;
              }),
              CArchiveException::genericException);
}

TEST(ArchiveTest, HugeLengthsFailBeforeAllocating)
{
    // 4 GB of 8-bit or 16-bit characters announced by a 12-byte file.
    const Bytes huge{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c', 'd', 'e'};
    const Bytes hugeWide{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'};
    for (const Bytes& bytes : {huge, hugeWide}) {
        CMemFile file(bytes.data(), bytes.size());
        CArchive ar(&file, CArchive::load);
        std::string s = "kept";
        EXPECT_EQ(ArchiveCause([&] { ar >> s; }), CArchiveException::endOfFile);
        EXPECT_EQ(s, "kept");
    }
}

TEST(ArchiveTest, RawBlocksReturnShortCountsAtTheEnd)
{
    Bytes bytes(30, 0x11);
    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    BYTE first[10];
    EXPECT_EQ(ar.Read(first, 10), 10u);
    BYTE block[52] = {};
    EXPECT_EQ(ar.Read(block, 52), 20u);
    EXPECT_EQ(block[19], 0x11);
    EXPECT_EQ(block[20], 0x00);
    EXPECT_EQ(ar.Read(block, 52), 0u);
}

TEST(ArchiveTest, CompactCounts)
{
    Bytes bytes = Store([](CArchive& ar) {
        ar.WriteCount(0xFFFE);
        ar.WriteCount(0xFFFF);
        ar.WriteCount(3);
    });
    EXPECT_EQ(bytes, (Bytes{0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x03, 0x00}));
    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(ar.ReadCount(), 0xFFFEu);
    EXPECT_EQ(ar.ReadCount(), 0xFFFFu);
    EXPECT_EQ(ar.ReadCount(), 3u);
}

// Values crossing the 4096-byte buffer in both directions, through a real file.
TEST(ArchiveTest, LongStreamsRoundTripThroughAFile)
{
    TempDir dir;
    std::string name = dir.Path("stream.bin");
    std::string big(10000, 'x');
    {
        CFile file(name.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        for (DWORD i = 0; i < 3000; ++i)
            ar << i << static_cast<BYTE>(i);
        ar << big;
        ar.Write(big.data(), 5000);
        ar << std::string("end");
        ar.Close();
        file.Close();
    }
    CFile file(name.c_str(), CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_TRUE(ar.IsLoading());
    for (DWORD i = 0; i < 3000; ++i) {
        DWORD value;
        BYTE low;
        ar >> value >> low;
        ASSERT_EQ(value, i);
        ASSERT_EQ(low, static_cast<BYTE>(i));
    }
    std::string back;
    ar >> back;
    EXPECT_EQ(back, big);
    std::string raw(5000, '\0');
    EXPECT_EQ(ar.Read(&raw[0], 5000), 5000u);
    ar >> back;
    EXPECT_EQ(back, "end");
    EXPECT_EQ(ar.GetBytesLeft(), 0u);
}

TEST(ArchiveTest, DirectionIsEnforced)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    EXPECT_TRUE(ar.IsStoring());
    BYTE b;
    EXPECT_EQ(ArchiveCause([&] { ar >> b; }), CArchiveException::writeOnly);
    ar.Close();
    EXPECT_EQ(ArchiveCause([&] { ar << b; }), CArchiveException::genericException);
}

TEST(MemStatusTest, RoundTripAndHostileCount)
{
    CMemStatus status;
    EXPECT_EQ(status.m_astrEntries.size(), 50u);
    status.m_astrEntries.resize(2);
    status.m_astrEntries[1] = "second";
    status.m_strStatus = "ok";
    status.m_wValue = 7;
    Bytes bytes = Store([&](CArchive& ar) { status.Serialize(ar); });
    EXPECT_EQ(bytes, (Bytes{0x02, 0x00, 0x00, 0x06, 's', 'e', 'c', 'o', 'n', 'd', 0x02, 'o', 'k', 0x07,
                            0x00}));
    CMemStatus back;
    {
        CMemFile file(bytes.data(), bytes.size());
        CArchive ar(&file, CArchive::load);
        back.Serialize(ar);
    }
    EXPECT_EQ(back.m_astrEntries, status.m_astrEntries);
    EXPECT_EQ(back.m_strStatus, "ok");
    EXPECT_EQ(back.m_wValue, 7);

    const Bytes hostile{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x00};
    CMemFile file(hostile.data(), hostile.size());
    CArchive ar(&file, CArchive::load);
    EXPECT_EQ(ArchiveCause([&] { back.Serialize(ar); }), CArchiveException::endOfFile);
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/mem_file.h"
#include "model/crc32c.h"
#include "model/progress_file.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<UINT> g_chunks;
int g_stopAfter;

int Recorder(UINT bytes)
{
    g_chunks.push_back(bytes);
    return static_cast<int>(g_chunks.size()) < g_stopAfter ? 1 : 0;
}

std::string Pattern(size_t size)
{
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 31 + i / 251);
    return data;
}

std::string ReadAll(CFile& file)
{
    std::string data(static_cast<size_t>(file.GetLength()), '\0');
    file.SeekToBegin();
    if (!data.empty())
        file.Read(&data[0], static_cast<UINT>(data.size()));
    return data;
}

class ProgressFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_chunks.clear();
        g_stopAfter = 1000;
        target.m_pfnProgress = Recorder;
        ASSERT_TRUE(target.Open(dir.Path("target.bin").c_str(),
                                CFile::modeCreate | CFile::modeReadWrite));
    }

    TempDir dir;
    CProgressFile target;
};

TEST_F(ProgressFileTest, CopiesInChunksOfTenThousand)
{
    std::string data = Pattern(30000);
    CMemFile source(data.data(), data.size());
    EXPECT_EQ(target.CopyRange(0, 25000, &source, 100), 1);
    EXPECT_EQ(g_chunks, (std::vector<UINT>{10000, 10000, 5000}));
    EXPECT_EQ(ReadAll(target), data.substr(100, 25000));
}

TEST_F(ProgressFileTest, CountsAreCutToTheSource)
{
    std::string data = Pattern(5000);
    CMemFile source(data.data(), data.size());
    EXPECT_EQ(target.CopyRange(0, 0, &source, 0), 1);
    EXPECT_TRUE(g_chunks.empty());

    EXPECT_EQ(target.CopyRange(0, 9000, &source, 1000), 1);
    EXPECT_EQ(g_chunks, (std::vector<UINT>{4000}));
    EXPECT_EQ(ReadAll(target), data.substr(1000));

    // A source position past the end copies nothing rather than stale buffer bytes.
    g_chunks.clear();
    EXPECT_EQ(target.CopyRange(0, 100, &source, 6000), 1);
    EXPECT_TRUE(g_chunks.empty());
    EXPECT_EQ(target.GetLength(), 4000u);
}

TEST_F(ProgressFileTest, AppendsAtTheDestinationPosition)
{
    std::string first = Pattern(12000);
    std::string second = std::string(3000, 'z');
    CMemFile a(first.data(), first.size());
    CMemFile b(second.data(), second.size());
    target.m_pfnProgress = nullptr;
    target.m_bChecksum = TRUE;
    EXPECT_EQ(target.CopyRange(0, 12000, &a, 0), 1);
    EXPECT_EQ(target.CopyRange(12000, 3000, &b, 0), 1);  // a file continued from the next volume
    EXPECT_EQ(ReadAll(target), first + second);
    // The checksum runs on across both copies, over exactly the bytes written.
    const std::string whole = first + second;
    EXPECT_EQ(target.m_dwChecksum, Crc32c(0, whole.data(), whole.size()));
}

TEST_F(ProgressFileTest, StoppingLeavesTheFirstChunkWritten)
{
    std::string data = Pattern(25000);
    CMemFile source(data.data(), data.size());
    g_stopAfter = 1;
    EXPECT_EQ(target.CopyRange(0, 25000, &source, 0), 0);
    EXPECT_EQ(g_chunks, (std::vector<UINT>{10000}));
    EXPECT_EQ(ReadAll(target), data.substr(0, 10000));
}

TEST_F(ProgressFileTest, CopyFromMakesAnExactCopy)
{
    std::string old = Pattern(40000);
    target.Write(old.data(), static_cast<UINT>(old.size()));
    std::string data(15000, 'k');
    CMemFile source(data.data(), data.size());
    EXPECT_EQ(target.CopyFrom(&source), 1);
    EXPECT_EQ(target.GetLength(), 15000u);
    EXPECT_EQ(ReadAll(target), data);
    EXPECT_EQ(g_chunks, (std::vector<UINT>{10000, 5000}));
}

// A source whose length promises more than its reads deliver.
class ShrinkingFile : public CMemFile {
public:
    using CMemFile::CMemFile;
    ULONGLONG GetLength() const override { return CMemFile::GetLength() + 500; }
};

TEST_F(ProgressFileTest, ASourceThatEndsEarlyIsAFileError)
{
    std::string data = Pattern(1000);
    ShrinkingFile source(data.data(), data.size());
    try {
        target.CopyRange(0, 1500, &source, 0);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::endOfFile);
    }
    EXPECT_TRUE(g_chunks.empty());
    EXPECT_EQ(target.GetLength(), 0u);
}

}  // namespace

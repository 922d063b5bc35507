#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "framework/file.h"
#include "framework/mem_file.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(FileTest, WriteSeekReadAndLength)
{
    TempDir dir;
    std::string name = dir.Path("data.bin");
    {
        CFile f(name.c_str(), CFile::modeCreate | CFile::modeReadWrite);
        f.Write("abcdefghij", 10);
        EXPECT_EQ(f.GetLength(), 10u);
        EXPECT_EQ(f.Seek(3, CFile::begin), 3u);
        char buf[4] = {};
        EXPECT_EQ(f.Read(buf, 3), 3u);
        EXPECT_EQ(std::string(buf, 3), "def");
        EXPECT_EQ(f.Read(buf, 4), 4u);
        EXPECT_EQ(f.Read(buf, 4), 0u);  // at the end: a short count, no failure
        f.SetLength(4);
        EXPECT_EQ(f.GetLength(), 4u);
        f.Close();
    }
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(name.c_str(), status));
    EXPECT_EQ(status.m_size, 4u);
}

TEST(FileTest, OpenFailuresCarryCauseAndName)
{
    TempDir dir;
    std::string missing = dir.Path("missing.bin");
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(missing.c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_lOsError, 2);
    EXPECT_EQ(e.m_strFileName, missing);

    std::string noDir = dir.Path("nodir") + TempDir::kSep + "x.bin";
    EXPECT_FALSE(f.Open(noDir.c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);

    try {
        CFile thrown(missing.c_str(), CFile::modeRead);
        FAIL() << "opening a missing file must throw";
    } catch (const CFileException& ex) {
        EXPECT_EQ(ex.m_cause, CFileException::fileNotFound);
    }
}

TEST(FileTest, RenameAndRemove)
{
    TempDir dir;
    std::string a = dir.Path("a.tmp"), b = dir.Path("b.txt");
    { CFile f(a.c_str(), CFile::modeCreate | CFile::modeWrite); f.Write("x", 1); }
    CFile::Rename(a.c_str(), b.c_str());
    CFileStatus status;
    EXPECT_FALSE(CFile::GetStatus(a.c_str(), status));
    EXPECT_TRUE(CFile::GetStatus(b.c_str(), status));
    // Renaming onto an existing file is refused, as MoveFile does.
    { CFile f(a.c_str(), CFile::modeCreate | CFile::modeWrite); }
    EXPECT_THROW(CFile::Rename(a.c_str(), b.c_str()), CFileException);
    CFile::Remove(b.c_str());
    EXPECT_FALSE(CFile::GetStatus(b.c_str(), status));
    try {
        CFile::Remove(b.c_str());
        FAIL();
    } catch (const CFileException& ex) {
        EXPECT_EQ(ex.m_cause, CFileException::fileNotFound);
    }
}

// Cutting a file back moves a position past the new end to it, on disk and in
// memory alike; the attributes name only real bits (never "normal" as a bit).
TEST(FileTest, SetLengthKeepsAPositionInsideTheFileAndStatusShowsReadOnly)
{
    TempDir dir;
    std::string name = dir.Path("cut.bin");
    CMemFile mem;
    {
        CFile f(name.c_str(), CFile::modeCreate | CFile::modeReadWrite);
        for (CFile* file : {static_cast<CFile*>(&f), static_cast<CFile*>(&mem)}) {
            file->Write("0123456789", 10);
            file->Seek(2, CFile::begin);
            file->SetLength(6);
            EXPECT_EQ(file->GetPosition(), 2u);  // inside: kept
            file->SeekToEnd();
            file->SetLength(4);
            EXPECT_EQ(file->GetPosition(), 4u);  // past the end: moved back
            file->Write("x", 1);
            EXPECT_EQ(file->GetLength(), 5u);   // no gap of stale bytes
        }
        EXPECT_TRUE(mem.IsOpen());
        CFileStatus status;
        ASSERT_TRUE(f.GetStatus(status));
        EXPECT_EQ(status.m_size, 5u);
        EXPECT_EQ(status.m_attribute & (CFile::readOnly | CFile::directory | 0x80), 0);
    }
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY));
#else
    ASSERT_EQ(chmod(name.c_str(), 0444), 0);
#endif
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(name.c_str(), status));
    EXPECT_EQ(status.m_attribute & CFile::readOnly, CFile::readOnly);
    ASSERT_TRUE(CFile::GetStatus(dir.Root().c_str(), status));
    EXPECT_EQ(status.m_attribute & CFile::directory, CFile::directory);
#ifdef _WIN32
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);  // so that the folder can go
#endif
}

TEST(FileTest, StatusWrittenBackClearsReadOnlyAndKeepsTheTimes)
{
    TempDir dir;
    std::string name = dir.WriteFile("old.dll", "contents");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(name.c_str(), status));
    status.m_mtime -= 10000000ULL * 3600 * 24 * 400;  // a year and more ago
    status.m_attribute |= CFile::readOnly;
    CFile::SetStatus(name.c_str(), status);

    CFileStatus readOnly;
    ASSERT_TRUE(CFile::GetStatus(name.c_str(), readOnly));
    EXPECT_EQ(readOnly.m_attribute & CFile::readOnly, CFile::readOnly);
    EXPECT_EQ(readOnly.m_mtime / 10000000, status.m_mtime / 10000000);

    readOnly.m_attribute &= ~CFile::readOnly;
    CFile::SetStatus(name.c_str(), readOnly);
    CFileStatus cleared;
    ASSERT_TRUE(CFile::GetStatus(name.c_str(), cleared));
    EXPECT_EQ(cleared.m_attribute & CFile::readOnly, 0);
    EXPECT_EQ(cleared.m_mtime / 10000000, status.m_mtime / 10000000);

    EXPECT_THROW(CFile::SetStatus(dir.Path("missing").c_str(), cleared), CFileException);
}

}  // namespace

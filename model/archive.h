// The byte stream of every persistent class: little-endian integers,
// length-prefixed 8-bit strings, raw blocks, no type tags and no header.
//
// Loading treats the file as untrusted: the archive knows how many bytes the
// file still holds, and a length or count that the rest of the file cannot
// satisfy fails with end of file before anything is allocated for it.
#pragma once

#include <string>
#include <vector>

#include "framework/exception.h"
#include "framework/file.h"
#include "framework/wintypes.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1 };
    enum { kDefaultBufferSize = 4096 };

    // The file stays the caller's: closing the archive leaves it open.
    CArchive(CFile* file, UINT mode, int bufferSize = kDefaultBufferSize);
    // Drops unflushed bytes without throwing: a storing archive is Close()d.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_nMode == load; }
    bool IsStoring() const { return m_nMode == store; }
    CFile* GetFile() const { return m_pFile; }

    CArchive& operator<<(BYTE value);
    CArchive& operator<<(WORD value);
    CArchive& operator<<(DWORD value);
    CArchive& operator<<(LONG value);
    CArchive& operator<<(const std::string& value);

    CArchive& operator>>(BYTE& value);
    CArchive& operator>>(WORD& value);
    CArchive& operator>>(DWORD& value);
    CArchive& operator>>(LONG& value);
    CArchive& operator>>(std::string& value);

    void Write(const void* data, UINT count);
    // Copies up to count bytes; fewer only at the end of the file, never a failure.
    UINT Read(void* data, UINT count);

    // A count below 0xFFFF as a WORD, else WORD 0xFFFF and the DWORD.
    void WriteCount(DWORD count);
    DWORD ReadCount();

    void Flush();
    // Storing: flushes. Loading: moves the file back to just after the last
    // byte read, so that the caller can go on reading from there.
    void Close();

    // Loading: the bytes still to be read, buffered and in the file.
    ULONGLONG GetBytesLeft() const;
    // Loading: fails with end of file unless count bytes are still to be read.
    void Require(ULONGLONG count) const;

    [[noreturn]] void ThrowArchive(int cause) const;

private:
    void CheckOpen(Mode wanted) const;
    void Put(const void* data, UINT count);
    void Get(void* data, UINT count);  // all count bytes or end of file
    UINT FillBuffer(UINT wanted);       // makes up to wanted bytes available
    DWORD ReadStringLength(bool& wide);

    CFile* m_pFile;
    Mode m_nMode;
    std::vector<BYTE> m_buffer;
    UINT m_nPos = 0;         // next byte to read or write in the buffer
    UINT m_nEnd = 0;         // end of valid data (loading)
    ULONGLONG m_nFileLeft = 0;  // loading: bytes of the file not yet in the buffer
};

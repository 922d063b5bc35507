// Binary file access with the framework's open modes. Failures throw
// CFileException with the cause, the platform code and the file name.
#pragma once

#include <string>

#include "exception.h"
#include "wintypes.h"

struct CFileStatus {
    // Time stamps in the platform's file-time unit: 100 ns since 1601-01-01 UTC.
    ULONGLONG m_ctime = 0;  // creation
    ULONGLONG m_mtime = 0;  // last write
    ULONGLONG m_atime = 0;  // last access
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;  // CFile::Attribute bits
    std::string m_szFullName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,  // accepted and ignored: every file is binary
        typeBinary = 0x8000,
    };
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    CFile();
    // Opens at once; throws CFileException on failure.
    CFile(const char* fileName, UINT openFlags);
    virtual ~CFile();

    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Returns FALSE on failure and fills *error when given; never throws.
    virtual BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    virtual void Close();
    // Closes without throwing, whatever state the file is in.
    virtual void Abort();

    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG newLength);
    virtual void Flush();

    virtual bool IsOpen() const;
    const std::string& GetFilePath() const { return m_strFileName; }

    BOOL GetStatus(CFileStatus& status) const;
    static BOOL GetStatus(const char* fileName, CFileStatus& status);
    // Writes the attributes back, then the time stamps (for which the file is
    // opened for reading and writing, shared for reading only); a time of 0
    // is left as it is. Throws CFileException.
    static void SetStatus(const char* fileName, const CFileStatus& status);
    static void Rename(const char* oldName, const char* newName);
    static void Remove(const char* fileName);

    static void ThrowOsError(LONG osError, const std::string& fileName);

#ifdef _WIN32
    HANDLE m_hFile;
#else
    int m_hFile;
#endif
    bool m_bCloseOnDelete;

protected:
    std::string m_strFileName;
};

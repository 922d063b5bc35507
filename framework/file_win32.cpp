#include "file.h"

#ifdef _WIN32

CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(false) {}

bool CFile::IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* error)
{
    Abort();  // reopening must not leak the handle held so far
    DWORD access = 0;
    switch (openFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
    }
    DWORD share = 0;
    switch (openFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;  // exclusive and compatibility mode
    }
    DWORD disposition = OPEN_EXISTING;
    if (openFlags & modeCreate)
        disposition = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE h = CreateFileA(fileName, access, share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        LONG osError = static_cast<LONG>(::GetLastError());
        if (error) {
            error->m_cause = CFileException::OsErrorToCause(osError);
            error->m_lOsError = osError;
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = true;
    m_strFileName = fileName;
    return TRUE;
}

void CFile::Close()
{
    bool failed = false;
    if (IsOpen())
        failed = !CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = false;
    if (failed)
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

void CFile::Abort()
{
    if (IsOpen())
        CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_bCloseOnDelete = false;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (count == 0)
        return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr))
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return read;
}

void CFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    DWORD written = 0;
    if (!WriteFile(m_hFile, buffer, count, &written, nullptr))
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    if (written != count)
        throw CFileException(CFileException::diskFull, ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    DWORD method = from == begin ? FILE_BEGIN : from == current ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(m_hFile, distance, &position, method))
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    LARGE_INTEGER zero = {};
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT))
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_hFile, &size))
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG newLength)
{
    ULONGLONG position = GetPosition();
    Seek(static_cast<LONGLONG>(newLength), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
    if (position < newLength)
        Seek(static_cast<LONGLONG>(position), begin);
}

void CFile::Flush()
{
    if (IsOpen() && !FlushFileBuffers(m_hFile))
        ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

namespace {

ULONGLONG FromFileTime(const FILETIME& time)
{
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME ToFileTime(ULONGLONG value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

// FILE_ATTRIBUTE_NORMAL means "no attributes"; it must not read as a set bit.
void FillStatus(DWORD attributes, const FILETIME& created, const FILETIME& accessed, const FILETIME& written,
                DWORD sizeHigh, DWORD sizeLow, CFileStatus& status)
{
    status.m_ctime = FromFileTime(created);
    status.m_atime = FromFileTime(accessed);
    status.m_mtime = FromFileTime(written);
    status.m_size = (static_cast<ULONGLONG>(sizeHigh) << 32) | sizeLow;
    status.m_attribute = static_cast<BYTE>(attributes & ~FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

BOOL CFile::GetStatus(CFileStatus& status) const
{
    if (!IsOpen())
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    FillStatus(info.dwFileAttributes, info.ftCreationTime, info.ftLastAccessTime, info.ftLastWriteTime,
               info.nFileSizeHigh, info.nFileSizeLow, status);
    status.m_szFullName = m_strFileName;
    return TRUE;
}

BOOL CFile::GetStatus(const char* fileName, CFileStatus& status)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(fileName, GetFileExInfoStandard, &data))
        return FALSE;
    FillStatus(data.dwFileAttributes, data.ftCreationTime, data.ftLastAccessTime, data.ftLastWriteTime,
               data.nFileSizeHigh, data.nFileSizeLow, status);
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(fileName, MAX_PATH, full, nullptr);
    status.m_szFullName = (n > 0 && n < MAX_PATH) ? std::string(full, n) : std::string(fileName);
    return TRUE;
}

void CFile::SetStatus(const char* fileName, const CFileStatus& status)
{
    // No attribute bit set is written as FILE_ATTRIBUTE_NORMAL, which alone clears them all.
    DWORD attributes = status.m_attribute ? status.m_attribute : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileAttributesA(fileName, attributes))
        ThrowOsError(static_cast<LONG>(::GetLastError()), fileName);

    CFile file(fileName, modeReadWrite | shareDenyWrite);
    const FILETIME created = ToFileTime(status.m_ctime);
    const FILETIME accessed = ToFileTime(status.m_atime);
    const FILETIME written = ToFileTime(status.m_mtime);
    if (!SetFileTime(file.m_hFile, status.m_ctime ? &created : nullptr, status.m_atime ? &accessed : nullptr,
                     status.m_mtime ? &written : nullptr))
        ThrowOsError(static_cast<LONG>(::GetLastError()), fileName);
    file.Close();
}

void CFile::Rename(const char* oldName, const char* newName)
{
    if (!MoveFileA(oldName, newName))
        ThrowOsError(static_cast<LONG>(::GetLastError()), oldName);
}

void CFile::Remove(const char* fileName)
{
    if (!DeleteFileA(fileName))
        ThrowOsError(static_cast<LONG>(::GetLastError()), fileName);
}

#endif

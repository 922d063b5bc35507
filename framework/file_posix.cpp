// The file class on POSIX, for the portable model and the authoring tools.
// Errors are reported with the Win32 codes they correspond to, so that callers
// behave alike on both hosts. Share modes have no POSIX counterpart.
#include "file.h"

#ifndef _WIN32

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The directory part of a path, for telling a missing file from a missing folder.
std::string ParentOf(const std::string& path)
{
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

LONG ErrnoToOsError(int err, const std::string& path)
{
    switch (err) {
    case ENOENT: {
        struct stat st;
        return stat(ParentOf(path).c_str(), &st) == 0 ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    case EIO:
        return 30;  // ERROR_READ_FAULT
    default:
        return 31;  // ERROR_GEN_FAILURE
    }
}

[[noreturn]] void ThrowErrno(const std::string& path)
{
    int err = errno;
    CFile::ThrowOsError(ErrnoToOsError(err, path), path);
    std::abort();
}

}  // namespace

CFile::CFile() : m_hFile(-1), m_bCloseOnDelete(false) {}

bool CFile::IsOpen() const { return m_hFile >= 0; }

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* error)
{
    Abort();  // reopening must not leak the handle held so far
    int flags = O_CLOEXEC;
    switch (openFlags & 3) {
    case modeRead: flags |= O_RDONLY; break;
    case modeWrite: flags |= O_WRONLY; break;
    default: flags |= O_RDWR; break;
    }
    if (openFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(openFlags & modeNoTruncate))
            flags |= O_TRUNC;
    }
    int fd = ::open(fileName, flags, 0644);
    if (fd >= 0) {
        struct stat st;
        if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            fd = -1;
            errno = EISDIR;
        }
    }
    if (fd < 0) {
        if (error) {
            error->m_lOsError = ErrnoToOsError(errno, fileName);
            error->m_cause = CFileException::OsErrorToCause(error->m_lOsError);
            error->m_strFileName = fileName;
        }
        return FALSE;
    }
    m_hFile = fd;
    m_bCloseOnDelete = true;
    m_strFileName = fileName;
    return TRUE;
}

void CFile::Close()
{
    int result = 0;
    if (IsOpen())
        result = ::close(m_hFile);
    m_hFile = -1;
    m_bCloseOnDelete = false;
    if (result != 0)
        ThrowErrno(m_strFileName);
}

void CFile::Abort()
{
    if (IsOpen())
        ::close(m_hFile);
    m_hFile = -1;
    m_bCloseOnDelete = false;
}

UINT CFile::Read(void* buffer, UINT count)
{
    UINT total = 0;
    while (total < count) {
        ssize_t n = ::read(m_hFile, static_cast<char*>(buffer) + total, count - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(m_strFileName);
        }
        if (n == 0)
            break;
        total += static_cast<UINT>(n);
    }
    return total;
}

void CFile::Write(const void* buffer, UINT count)
{
    UINT total = 0;
    while (total < count) {
        ssize_t n = ::write(m_hFile, static_cast<const char*>(buffer) + total, count - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(m_strFileName);
        }
        total += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t position = ::lseek(m_hFile, static_cast<off_t>(offset), whence);
    if (position < 0)
        ThrowErrno(m_strFileName);
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const
{
    off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
    if (position < 0)
        ThrowErrno(m_strFileName);
    return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const
{
    struct stat st;
    if (fstat(m_hFile, &st) != 0)
        ThrowErrno(m_strFileName);
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG newLength)
{
    if (ftruncate(m_hFile, static_cast<off_t>(newLength)) != 0)
        ThrowErrno(m_strFileName);
    // As on Windows: a position past the new end moves back to it.
    if (GetPosition() > newLength)
        Seek(static_cast<LONGLONG>(newLength), begin);
}

void CFile::Flush()
{
    if (IsOpen() && fsync(m_hFile) != 0 && errno != EINVAL)
        ThrowErrno(m_strFileName);
}

namespace {

// 100 ns units between 1601-01-01 and the Unix epoch.
constexpr ULONGLONG kEpochOffset = 116444736000000000ULL;

ULONGLONG ToFileTime(const struct timespec& ts)
{
    return kEpochOffset + static_cast<ULONGLONG>(ts.tv_sec) * 10000000ULL + static_cast<ULONGLONG>(ts.tv_nsec) / 100;
}

struct timespec FromFileTime(ULONGLONG value)
{
    struct timespec ts = {0, UTIME_OMIT};
    if (value != 0) {
        ULONGLONG since = value > kEpochOffset ? value - kEpochOffset : 0;
        ts.tv_sec = static_cast<time_t>(since / 10000000ULL);
        ts.tv_nsec = static_cast<long>(since % 10000000ULL) * 100;
    }
    return ts;
}

BOOL StatusFromStat(const struct stat& st, const std::string& name, CFileStatus& status)
{
    status.m_ctime = ToFileTime(st.st_ctim);
    status.m_mtime = ToFileTime(st.st_mtim);
    status.m_atime = ToFileTime(st.st_atim);
    status.m_size = static_cast<ULONGLONG>(st.st_size);
    status.m_attribute = 0;
    if (S_ISDIR(st.st_mode))
        status.m_attribute |= CFile::directory;
    if (!(st.st_mode & S_IWUSR))
        status.m_attribute |= CFile::readOnly;
    char full[PATH_MAX];
    status.m_szFullName = realpath(name.c_str(), full) ? std::string(full) : name;
    return TRUE;
}
}  // namespace

BOOL CFile::GetStatus(CFileStatus& status) const
{
    struct stat st;
    if (!IsOpen() || fstat(m_hFile, &st) != 0)
        return FALSE;
    return StatusFromStat(st, m_strFileName, status);
}

BOOL CFile::GetStatus(const char* fileName, CFileStatus& status)
{
    struct stat st;
    if (stat(fileName, &st) != 0)
        return FALSE;
    return StatusFromStat(st, fileName, status);
}

void CFile::SetStatus(const char* fileName, const CFileStatus& status)
{
    struct stat st;
    if (stat(fileName, &st) != 0)
        ThrowErrno(fileName);
    // The read-only attribute is the owner's write permission; nothing else maps.
    mode_t mode = st.st_mode & 07777;
    mode = (status.m_attribute & readOnly) ? (mode & ~S_IWUSR) : (mode | S_IWUSR);
    if (chmod(fileName, mode) != 0)
        ThrowErrno(fileName);
    // POSIX keeps no creation time to set.
    const struct timespec times[2] = {FromFileTime(status.m_atime), FromFileTime(status.m_mtime)};
    if (utimensat(AT_FDCWD, fileName, times, 0) != 0)
        ThrowErrno(fileName);
}

void CFile::Rename(const char* oldName, const char* newName)
{
    // MoveFile refuses to replace an existing target; keep that rule here.
    struct stat st;
    if (lstat(newName, &st) == 0) {
        ThrowOsError(ERROR_ALREADY_EXISTS, oldName);
    }
    if (::rename(oldName, newName) != 0)
        ThrowErrno(oldName);
}

void CFile::Remove(const char* fileName)
{
    if (::unlink(fileName) != 0)
        ThrowErrno(fileName);
}

#endif

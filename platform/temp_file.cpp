#include "platform/temp_file.h"

#include "framework/file.h"
#include "platform/disk.h"

BOOL CTempFile::Create(const std::string& dir)
{
    Discard();
    m_strPath = MakeTempFileName(dir);
    return IsOwned() ? TRUE : FALSE;
}

void CTempFile::Commit(const std::string& target)
{
    if (!MoveFileExA(m_strPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        CFile::ThrowOsError(static_cast<LONG>(GetLastError()), target);
    m_strPath.clear();
}

void CTempFile::CommitOverReadOnly(const std::string& target)
{
    const DWORD dwAttributes = GetFileAttributesA(target.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_READONLY)) {
        Commit(target);
        return;
    }
    const DWORD dwWritable = dwAttributes & ~FILE_ATTRIBUTE_READONLY;
    if (!SetFileAttributesA(target.c_str(), dwWritable ? dwWritable : FILE_ATTRIBUTE_NORMAL))
        CFile::ThrowOsError(static_cast<LONG>(GetLastError()), target);
    try {
        Commit(target);
    } catch (const CFileException&) {
        SetFileAttributesA(target.c_str(), dwAttributes);
        throw;
    }
}

void CTempFile::Discard()
{
    if (!IsOwned())
        return;
    // Keep the caller's error: discarding runs on failure paths.
    const DWORD error = GetLastError();
    DeleteFileA(m_strPath.c_str());
    m_strPath.clear();
    SetLastError(error);
}

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

// What the file class does alike on every host.
#include "file.h"

CFile::CFile(const char* fileName, UINT openFlags) : CFile()
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (IsOpen() && m_bCloseOnDelete)
        Abort();
}

void CFile::ThrowOsError(LONG osError, const std::string& fileName)
{
    throw CFileException(CFileException::OsErrorToCause(osError), osError, fileName);
}

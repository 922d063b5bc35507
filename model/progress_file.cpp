#include "progress_file.h"

#include <algorithm>

#include "crc32c.h"

int CProgressFile::CopyRange(DWORD destPos, DWORD count, CFile* source, DWORD sourcePos)
{
    const ULONGLONG length = source->GetLength();
    const ULONGLONG available = length > sourcePos ? length - sourcePos : 0;
    DWORD remaining = static_cast<DWORD>(std::min<ULONGLONG>(count, available));

    Seek(destPos, begin);
    source->Seek(sourcePos, begin);

    BYTE buffer[CHUNK_SIZE];
    while (remaining > 0) {
        UINT n = std::min<UINT>(CHUNK_SIZE, remaining);
        // Never write bytes that were not read: a source that shrank is an error.
        if (source->Read(buffer, n) != n)
            ThrowOsError(ERROR_HANDLE_EOF, source->GetFilePath());
        if (m_bChecksum)
            m_dwChecksum = Crc32c(m_dwChecksum, buffer, n);
        Write(buffer, n);
        remaining -= n;
        if (m_pfnProgress && m_pfnProgress(n) == 0)
            return 0;
    }
    return 1;
}

int CProgressFile::CopyFrom(CFile* source)
{
    const ULONGLONG length = source->GetLength();
    SetLength(length);
    return CopyRange(0, static_cast<DWORD>(length), source, 0);
}

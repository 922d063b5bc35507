// A file that copies ranges of another open file in chunks of at most
// 10,000 bytes, reporting each chunk to a progress function that can stop
// the copy between two chunks.
#pragma once

#include "framework/file.h"

// Called after each chunk with its byte count; 0 stops the copy.
typedef int (*ProgressFn)(UINT bytes);

class CProgressFile : public CFile {
public:
    enum { CHUNK_SIZE = 10000 };

    CProgressFile() = default;
    // Opens at once; throws CFileException on failure.
    using CFile::CFile;

    // Copies count bytes of source from sourcePos to destPos of this file.
    // A count beyond the end of the source is cut to what it holds. Returns
    // 1 when done, 0 when the progress function stopped it; what was written
    // stays written. File errors throw CFileException, as does a source that
    // delivers fewer bytes than its length promised.
    int CopyRange(DWORD destPos, DWORD count, CFile* source, DWORD sourcePos);
    // Makes this file a copy of the whole source, exactly as long.
    int CopyFrom(CFile* source);

    ProgressFn m_pfnProgress = nullptr;
    // When set, every byte copied in is folded into m_dwChecksum, the
    // CRC-32C of the bytes copied so far (0 before the first).
    BOOL m_bChecksum = FALSE;
    DWORD m_dwChecksum = 0;
};

#include "mem_file.h"

#include <algorithm>
#include <cstring>

CMemFile::CMemFile(const void* data, size_t size)
    : m_data(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size)
{
}

UINT CMemFile::Read(void* buffer, UINT count)
{
    if (m_nPosition >= m_data.size())
        return 0;
    size_t n = std::min<size_t>(count, m_data.size() - m_nPosition);
    std::memcpy(buffer, m_data.data() + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count)
{
    if (count == 0)
        return;
    if (m_nPosition + count > m_data.size())
        m_data.resize(m_nPosition + count);
    std::memcpy(m_data.data() + m_nPosition, buffer, count);
    m_nPosition += count;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from)
{
    LONGLONG base = from == begin ? 0 : from == current ? static_cast<LONGLONG>(m_nPosition)
                                                        : static_cast<LONGLONG>(m_data.size());
    if (base + offset < 0)
        ThrowOsError(ERROR_INVALID_PARAMETER, m_strFileName);
    m_nPosition = static_cast<size_t>(base + offset);
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG newLength)
{
    m_data.resize(static_cast<size_t>(newLength));
    m_nPosition = std::min(m_nPosition, m_data.size());
}

#include "medium_checksums.h"

#include "archive.h"
#include "crc32c.h"
#include "install_mngr.h"
#include "little_endian.h"

namespace {

constexpr DWORD SIGNATURE = 0x43524356;  // "VCRC" read as a little-endian DWORD
constexpr DWORD ENTRY_SIZE = 8;          // size and CRC

// One DWORD through the archive, either way, and into the running CRC of
// the bytes it takes in the file.
void Field(CArchive& ar, DWORD& value, DWORD& crc)
{
    if (ar.IsStoring())
        ar << value;
    else
        ar >> value;
    BYTE bytes[4];
    WriteLE32(bytes, value);
    crc = Crc32c(crc, bytes, sizeof bytes);
}

}  // namespace

void CMediumChecksums::Store(CFile& file) const
{
    CArchive ar(&file, CArchive::store);
    DWORD crc = 0;
    DWORD signature = SIGNATURE, version = CHECKSUM_FILE_VERSION;
    DWORD count = static_cast<DWORD>(m_entries.size());
    Field(ar, signature, crc);
    Field(ar, version, crc);
    Field(ar, count, crc);
    for (FileChecksum entry : m_entries) {
        Field(ar, entry.dwSize, crc);
        Field(ar, entry.dwCrc, crc);
    }
    ar << crc;
    ar.Close();
}

CMediumChecksums::Result CMediumChecksums::Load(CFile& file)
{
    m_entries.clear();
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    try {
        DWORD crc = 0;
        DWORD signature = 0, version = 0, count = 0;
        Field(ar, signature, crc);
        if (signature != SIGNATURE)
            return DAMAGED;
        Field(ar, version, crc);
        // Another version may be laid out otherwise: nothing after this is read.
        if (version != CHECKSUM_FILE_VERSION)
            return UNKNOWN_VERSION;
        Field(ar, count, crc);
        // The count must be what the file holds, before anything is allocated for it.
        if (ar.GetBytesLeft() != static_cast<ULONGLONG>(count) * ENTRY_SIZE + 4 || count < CHECKSUM_FIRST_FILE)
            return DAMAGED;
        std::vector<FileChecksum> entries(count);
        for (FileChecksum& entry : entries) {
            Field(ar, entry.dwSize, crc);
            Field(ar, entry.dwCrc, crc);
        }
        DWORD stored = 0;
        ar >> stored;
        if (stored != crc)
            return DAMAGED;
        m_entries.swap(entries);
        return LOADED;
    } catch (const CArchiveException&) {
        return DAMAGED;
    }
}

bool CMediumChecksums::MatchesDescription(CInstallMngr& description) const
{
    if (m_entries.size() < CHECKSUM_FIRST_FILE || m_entries[CHECKSUM_UNINSTALLER].dwSize != description.m_dwUninstBytes)
        return false;
    size_t index = CHECKSUM_FIRST_FILE;
    CObject* item = nullptr;
    for (int kind = description.GetFirstItem(item); kind != TREE_END; kind = description.GetNextItem(item)) {
        if (kind != TREE_FILE)
            continue;
        if (index == m_entries.size() || m_entries[index].dwSize != static_cast<CInstalledFile*>(item)->m_dwSize)
            return false;
        ++index;
    }
    return index == m_entries.size();
}

FileChecksum ChecksumToEnd(CFile& file)
{
    FileChecksum sum;
    BYTE buffer[4096];
    for (UINT n; (n = file.Read(buffer, sizeof buffer)) > 0;) {
        sum.dwCrc = Crc32c(sum.dwCrc, buffer, n);
        sum.dwSize += n;
    }
    return sum;
}

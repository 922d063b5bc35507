// The checksum file of a medium (Setup.crc on disk 1, beside Setup.dat): the
// size and CRC-32C of every file the installer reads from the medium, so
// that a damaged byte is found before the file it belongs to takes its place.
// The authoring tool writes it; the installer checks Setup.dat against it
// before using the description, and every other file as its bytes stream
// into the temporary file. A medium without it installs unchecked.
//
//   4 bytes  signature 56 43 52 43 ("VCRC")
//   DWORD    format version, 1
//   DWORD    N, the number of entries
//   N times  DWORD size in bytes, DWORD CRC-32C of the file's bytes:
//            Setup.dat, _Uninst.ex_, then every file of the install tree in
//            tree order (its bytes in the Data.dat volumes)
//   DWORD    CRC-32C of every byte before it
// Little-endian, 16 + 8 * N bytes, nothing after the last DWORD.
#pragma once

#include <vector>

#include "framework/file.h"
#include "framework/wintypes.h"

class CInstallMngr;

constexpr DWORD CHECKSUM_FILE_VERSION = 1;

struct FileChecksum {
    DWORD dwSize = 0;
    DWORD dwCrc = 0;
    bool operator==(const FileChecksum& other) const { return dwSize == other.dwSize && dwCrc == other.dwCrc; }
    bool operator!=(const FileChecksum& other) const { return !(*this == other); }
};

// The first two entries; the tree's files follow from CHECKSUM_FIRST_FILE on.
enum { CHECKSUM_DESCRIPTION = 0, CHECKSUM_UNINSTALLER = 1, CHECKSUM_FIRST_FILE = 2 };

class CMediumChecksums {
public:
    enum Result { LOADED, DAMAGED, UNKNOWN_VERSION };

    // Writes the whole file at the file's position; file errors throw CFileException.
    void Store(CFile& file) const;
    // Reads the whole file from its start. Content that is not a checksum
    // file of this version, or that its own checksum finds damaged, leaves
    // no entries and is answered DAMAGED or UNKNOWN_VERSION; file errors
    // throw CFileException.
    Result Load(CFile& file);

    // Whether the entries are as many as the description's files and the
    // uninstaller, and each as long as the description says.
    bool MatchesDescription(CInstallMngr& description) const;

    // The entries; empty: no checksum file.
    std::vector<FileChecksum> m_entries;
};

// The size and CRC-32C of the bytes from the file's position to its end.
// File errors throw CFileException.
FileChecksum ChecksumToEnd(CFile& file);

// The distribution medium as the authoring tool writes it and the installer
// reads it. Every volume is one folder (one disk) holding Data.dat; the first
// also holds the description, the uninstaller, the setup program and, on
// media that carry one, the checksum file (medium_checksums.h).
//
// Data.dat:
//   WORD  volume number, zero-based
//   the payload: the contents of the tree's files back to back, in tree
//   order, each exactly its size, no headers; a file may run on into the
//   next volume's payload.
// On media types with a fixed capacity every volume between the first and
// the last carries exactly that capacity; the first may be shorter (it
// shares its disk with the setup files), and its payload is what it holds.
#pragma once

#include "framework/wintypes.h"

constexpr const char* DESCRIPTION_FILE_NAME = "Setup.dat";
constexpr const char* DATA_FILE_NAME = "Data.dat";
constexpr const char* UNINSTALLER_SOURCE_NAME = "_Uninst.ex_";
constexpr const char* SETUP_PROGRAM_NAME = "Setup.exe";
constexpr const char* CHECKSUM_FILE_NAME = "Setup.crc";
// What an install leaves in the destination directory.
constexpr const char* UNINSTALLER_NAME = "Uninst.exe";
constexpr const char* INSTALL_RECORD_NAME = "Setup.inf";

constexpr DWORD DATA_VOLUME_HEADER_SIZE = 2;  // the volume number

// Payload bytes of one Data.dat volume by media type; 0: no fixed size, and
// then the whole payload lies in one volume.
constexpr DWORD VOLUME_CAPACITY[4] = {1199998, 1439998, 0, 0};
constexpr bool IsValidMediaType(int mediaType) { return mediaType >= 0 && mediaType <= 3; }
// The capacity of a valid media type, 0 for any other.
constexpr DWORD GetVolumeCapacity(int mediaType)
{
    return IsValidMediaType(mediaType) ? VOLUME_CAPACITY[mediaType] : 0;
}

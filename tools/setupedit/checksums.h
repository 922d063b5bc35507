// The checksum file (Setup.crc) on the authoring side: the checksums of a
// medium's files as they are on its disks, and the file written beside
// Setup.dat. Its layout is the model's (model/medium_checksums.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "model/medium_checksums.h"

class CSetupEdit;

// The size of Setup.crc for a tree of files files.
std::uint64_t ChecksumFileSize(std::size_t files);

// Size and CRC-32C of a whole file; throws ToolError.
FileChecksum ChecksumOfFile(const std::filesystem::path& file);

// The volumes (zero-based) that the bytes of one file of the tree lie in.
struct VolumeSpan {
    std::size_t first = 0;
    std::size_t last = 0;
};

// The checksums of disks[0]'s Setup.dat and _Uninst.ex_, then of every file
// of ed's tree read from the Data.dat volumes of disks in order; spans
// receives where each file of the tree lies. Throws ToolError when a file
// cannot be read or the volumes end before the tree's files do.
CMediumChecksums ChecksumsOfMedium(const std::vector<std::filesystem::path>& disks, CSetupEdit& ed,
                                   std::vector<VolumeSpan>* spans = nullptr);

// Writes disk1/Setup.crc, replacing one that is there only once the new one
// is complete; throws ToolError.
void WriteChecksumFile(const std::filesystem::path& disk1, const CMediumChecksums& sums);

// Checking built volumes against their install description: the volume
// numbers and order, the fixed capacities of floppy media, the single
// volume of directory media, the payload against the file sizes, and every
// file against its checksum when the medium carries a checksum file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct VerifyReport {
    std::vector<std::string> problems;   // empty when the media are sound
    std::vector<std::string> warnings;   // sound, but unfit for a real floppy
    std::vector<std::uint64_t> volumes;  // payload bytes of each volume read
    std::uint64_t expectedPayload = 0;   // the sum of the file sizes
    std::size_t files = 0;
    bool sealed = false;                 // disk 1 holds a checksum file
    std::size_t checksums = 0;           // files found as their checksums say
};

// disks[0] holds Setup.dat. A description that cannot be read throws ToolError.
VerifyReport VerifyMedia(const std::vector<std::filesystem::path>& disks);

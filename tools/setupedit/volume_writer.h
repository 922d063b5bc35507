// Writes the payload into Data.dat volumes: OUT/disk1/Data.dat holds volume
// number 0 (a WORD) and the first bytes, OUT/disk2/Data.dat volume 1 and the
// bytes after them, and so on. A new volume is begun only when a byte is
// left over for it, so a payload that ends exactly at a volume's capacity
// leaves no empty volume behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "model/medium_checksums.h"

// disk1, disk2, ...: the folder of volume index (zero-based).
std::filesystem::path DiskFolder(const std::filesystem::path& out, std::size_t index);

class VolumeWriter {
public:
    // capacity 0: one volume of any size; firstCapacity (0: capacity) bounds
    // volume 0, which is opened at once.
    VolumeWriter(const std::filesystem::path& out, std::uint32_t capacity, std::uint64_t firstCapacity = 0);
    VolumeWriter(const VolumeWriter&) = delete;
    VolumeWriter& operator=(const VolumeWriter&) = delete;

    void Append(const char* data, std::size_t n);
    // Appends the contents of a file, which must still hold exactly size
    // bytes; returns the size and CRC-32C of the bytes appended.
    FileChecksum AppendFile(const std::filesystem::path& source, std::uint32_t size);
    // Closes the last volume; returns the payload bytes of each volume.
    std::vector<std::uint64_t> Finish();

private:
    void OpenVolume();
    void CloseVolume();

    std::filesystem::path m_out;
    std::uint32_t m_capacity;
    std::uint64_t m_firstCapacity;
    std::ofstream m_file;
    std::filesystem::path m_path;
    std::vector<std::uint64_t> m_payload;
};

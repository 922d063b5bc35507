// The fixed version record of a Windows executable, read from its version
// resource without the platform: PE32 and PE32+ images, resource type 16,
// name 1, first language; VS_VERSIONINFO; its 52-byte VS_FIXEDFILEINFO.
// Every offset and length in the image is checked before it is used, so a
// truncated or hostile file yields "no record", never a read out of bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/version_record.h"

constexpr std::size_t kVersionRecordSize = VERSION_RECORD_SIZE;
typedef std::uint8_t VersionRecord[kVersionRecordSize];

// Random access to the bytes of one image.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // False unless all n bytes at off exist and were read.
    virtual bool ReadAt(std::uint64_t off, void* dst, std::size_t n) const = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    bool ReadAt(std::uint64_t off, void* dst, std::size_t n) const override;

private:
    const std::vector<std::uint8_t>& m_bytes;
};

// True and the record when the image has one; otherwise false and 52 zeros.
bool ReadFixedVersion(const ByteSource& image, VersionRecord out);

// The same for a file on disk. A file that cannot be read throws ToolError;
// a file that is not an image, or has no record, gives zeros.
bool ReadFixedVersionOfFile(const std::filesystem::path& path, VersionRecord out);

// "a.b.c.d" of the product version words (DWORDs 4 and 5 of the record).
std::string ProductVersionString(const VersionRecord record);
// "a.b.c.d" of the file version words (DWORDs 2 and 3).
std::string FileVersionString(const VersionRecord record);

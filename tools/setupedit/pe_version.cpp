#include "tools/setupedit/pe_version.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "tools/setupedit/tool_error.h"

namespace {

constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kVersionInfoName = 1;
// Deeper than any real image; keeps a hostile table from costing much time.
constexpr std::uint32_t kMaxDirEntries = 4096;


struct Section {
    std::uint32_t va, rawSize, rawPtr;
};

// The image's section table and its resource directory, both checked.
class PeImage {
public:
    explicit PeImage(const ByteSource& src) : m_src(src) {}

    bool Open();
    // File offset of n bytes at rva, all inside one section's raw data.
    bool RvaToOffset(std::uint64_t rva, std::uint32_t n, std::uint64_t& off) const;
    bool ReadRva(std::uint64_t rva, void* dst, std::uint32_t n) const
    {
        std::uint64_t off;
        return RvaToOffset(rva, n, off) && m_src.ReadAt(off, dst, n);
    }
    std::uint32_t ResourceRva() const { return m_resRva; }

private:
    const ByteSource& m_src;
    std::vector<Section> m_sections;
    std::uint32_t m_resRva = 0;
};

bool PeImage::Open()
{
    std::uint8_t dos[64];
    if (!m_src.ReadAt(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return false;
    std::uint64_t pe = ReadLE32(dos + 0x3C);
    std::uint8_t hdr[24];
    if (!m_src.ReadAt(pe, hdr, sizeof hdr) || std::memcmp(hdr, "PE\0\0", 4) != 0)
        return false;
    std::uint32_t nSections = ReadLE16(hdr + 6);
    std::uint32_t optSize = ReadLE16(hdr + 20);
    std::uint64_t opt = pe + 24;

    std::uint8_t magic[2];
    if (optSize < 2 || !m_src.ReadAt(opt, magic, 2))
        return false;
    std::uint32_t countAt, dirsAt;
    switch (ReadLE16(magic)) {
    case 0x10B:  // PE32
        countAt = 92;
        dirsAt = 96;
        break;
    case 0x20B:  // PE32+
        countAt = 108;
        dirsAt = 112;
        break;
    default:
        return false;
    }
    // The resource directory is entry 2; it must lie inside the optional header.
    std::uint32_t resDirAt = dirsAt + 2 * 8;
    if (optSize < resDirAt + 8)
        return false;
    std::uint8_t buf[8];
    if (!m_src.ReadAt(opt + countAt, buf, 4) || ReadLE32(buf) <= 2)
        return false;
    if (!m_src.ReadAt(opt + resDirAt, buf, 8))
        return false;
    m_resRva = ReadLE32(buf);
    if (m_resRva == 0 || ReadLE32(buf + 4) == 0)
        return false;

    std::uint64_t table = opt + optSize;
    for (std::uint32_t i = 0; i < nSections; ++i) {
        std::uint8_t sh[40];
        if (!m_src.ReadAt(table + 40ull * i, sh, sizeof sh))
            return false;
        Section s = {ReadLE32(sh + 12), ReadLE32(sh + 16), ReadLE32(sh + 20)};
        // Raw data said to run past the end of the file marks a damaged image.
        if (static_cast<std::uint64_t>(s.rawPtr) + s.rawSize > m_src.Size())
            return false;
        m_sections.push_back(s);
    }
    return true;
}

bool PeImage::RvaToOffset(std::uint64_t rva, std::uint32_t n, std::uint64_t& off) const
{
    // Offsets are added in 64 bits: a hostile offset must not wrap into the image.
    for (const Section& s : m_sections) {
        if (rva < s.va)
            continue;
        std::uint64_t rel = rva - s.va;
        if (rel >= s.rawSize)
            continue;
        if (rel + n > s.rawSize)
            return false;
        off = s.rawPtr + rel;
        return off + n <= m_src.Size();
    }
    return false;
}

// One level of the resource tree: the entry with the given id (or the first
// entry when id is 0xFFFFFFFF). Returns its raw offset field.
bool FindEntry(const PeImage& img, std::uint32_t dirOffset, std::uint32_t id, std::uint32_t& entryData)
{
    std::uint8_t dir[16];
    if (!img.ReadRva(static_cast<std::uint64_t>(img.ResourceRva()) + dirOffset, dir, sizeof dir))
        return false;
    std::uint32_t named = ReadLE16(dir + 12), ids = ReadLE16(dir + 14);
    std::uint32_t total = named + ids;
    if (total > kMaxDirEntries)
        return false;
    for (std::uint32_t i = 0; i < total; ++i) {
        std::uint8_t e[8];
        std::uint64_t at = static_cast<std::uint64_t>(dirOffset) + 16 + 8 * i;
        if (!img.ReadRva(img.ResourceRva() + at, e, sizeof e))
            return false;
        std::uint32_t name = ReadLE32(e);
        if (id == 0xFFFFFFFF || (!(name & 0x80000000u) && name == id)) {
            entryData = ReadLE32(e + 4);
            return true;
        }
    }
    return false;
}

bool FindVersionResource(const PeImage& img, std::uint32_t& rva, std::uint32_t& size)
{
    std::uint32_t type, name, lang;
    // The first two levels must lead to subdirectories, the third to data.
    if (!FindEntry(img, 0, kRtVersion, type) || !(type & 0x80000000u))
        return false;
    if (!FindEntry(img, type & 0x7FFFFFFFu, kVersionInfoName, name) || !(name & 0x80000000u))
        return false;
    if (!FindEntry(img, name & 0x7FFFFFFFu, 0xFFFFFFFF, lang) || (lang & 0x80000000u))
        return false;
    std::uint8_t data[16];
    if (!img.ReadRva(static_cast<std::uint64_t>(img.ResourceRva()) + lang, data, sizeof data))
        return false;
    rva = ReadLE32(data);
    size = ReadLE32(data + 4);
    return true;
}

}  // namespace

bool MemorySource::ReadAt(std::uint64_t off, void* dst, std::size_t n) const
{
    if (off > m_bytes.size() || n > m_bytes.size() - off)
        return false;
    std::memcpy(dst, m_bytes.data() + off, n);
    return true;
}

bool ReadFixedVersion(const ByteSource& image, VersionRecord out)
{
    std::memset(out, 0, kVersionRecordSize);
    PeImage img(image);
    std::uint32_t rva, size;
    if (!img.Open() || !FindVersionResource(img, rva, size))
        return false;

    // VS_VERSIONINFO: wLength, wValueLength, wType, L"VS_VERSION_INFO", padding
    // to a 32-bit boundary (40 bytes in all), then the fixed record.
    static const char kKey[] = "VS_VERSION_INFO";
    constexpr std::uint32_t kHeader = 6 + 2 * sizeof kKey;  // key with its terminator
    constexpr std::uint32_t kValueAt = (kHeader + 3) & ~3u;
    std::uint8_t head[kValueAt + kVersionRecordSize];
    std::uint64_t whole;
    if (size < sizeof head || !img.RvaToOffset(rva, size, whole) || !img.ReadRva(rva, head, sizeof head))
        return false;
    if (ReadLE16(head) < sizeof head || ReadLE16(head + 2) < kVersionRecordSize)
        return false;
    for (std::uint32_t i = 0; i < sizeof kKey; ++i) {
        if (ReadLE16(head + 6 + 2 * i) != static_cast<std::uint8_t>(kKey[i]))
            return false;
    }
    if (ReadLE32(head + kValueAt) != VERSION_RECORD_SIGNATURE)
        return false;
    std::memcpy(out, head + kValueAt, kVersionRecordSize);
    return true;
}

namespace {

class FileSource : public ByteSource {
public:
    FileSource(std::ifstream& in, std::uint64_t size) : m_in(in), m_size(size) {}
    std::uint64_t Size() const override { return m_size; }
    bool ReadAt(std::uint64_t off, void* dst, std::size_t n) const override
    {
        if (off > m_size || n > m_size - off)
            return false;
        m_in.clear();
        m_in.seekg(static_cast<std::streamoff>(off));
        m_in.read(static_cast<char*>(dst), static_cast<std::streamsize>(n));
        return static_cast<std::size_t>(m_in.gcount()) == n;
    }

private:
    std::ifstream& m_in;
    std::uint64_t m_size;
};

std::string Dotted(std::uint32_t ms, std::uint32_t ls)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
    return buf;
}

}  // namespace

bool ReadFixedVersionOfFile(const std::filesystem::path& path, VersionRecord out)
{
    std::memset(out, 0, kVersionRecordSize);
    std::error_code ec;
    std::uint64_t size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in)
        throw ToolError(path.u8string() + ": cannot be read");
    FileSource src(in, size);
    return ReadFixedVersion(src, out);
}

std::string ProductVersionString(const VersionRecord record)
{
    return Dotted(VersionRecordDword(record, VERSION_DW_PRODUCT_MS), VersionRecordDword(record, VERSION_DW_PRODUCT_LS));
}

std::string FileVersionString(const VersionRecord record)
{
    return Dotted(VersionRecordDword(record, VERSION_DW_FILE_MS), VersionRecordDword(record, VERSION_DW_FILE_LS));
}

#include "tools/setupedit/volume_writer.h"

#include <string>
#include <vector>

#include "model/crc32c.h"
#include "model/little_endian.h"
#include "model/media_format.h"
#include "tools/setupedit/tool_error.h"

namespace fs = std::filesystem;

fs::path DiskFolder(const fs::path& out, std::size_t index)
{
    return out / ("disk" + std::to_string(index + 1));
}

VolumeWriter::VolumeWriter(const fs::path& out, std::uint32_t capacity, std::uint64_t firstCapacity)
    : m_out(out), m_capacity(capacity), m_firstCapacity(firstCapacity != 0 ? firstCapacity : capacity)
{
    OpenVolume();
}

void VolumeWriter::OpenVolume()
{
    std::size_t index = m_payload.size();
    fs::path dir = DiskFolder(m_out, index);
    std::error_code ec;
    fs::create_directories(dir, ec);
    m_path = dir / DATA_FILE_NAME;
    m_file.open(m_path, std::ios::binary | std::ios::trunc);
    BYTE number[DATA_VOLUME_HEADER_SIZE];
    WriteLE16(number, static_cast<WORD>(index));
    m_file.write(reinterpret_cast<const char*>(number), sizeof number);
    if (ec || !m_file)
        throw ToolError(m_path.string() + ": cannot be written");
    m_payload.push_back(0);
}

void VolumeWriter::CloseVolume()
{
    m_file.close();
    if (!m_file)
        throw ToolError(m_path.string() + ": cannot be written (disk full?)");
}

void VolumeWriter::Append(const char* data, std::size_t n)
{
    while (n > 0) {
        std::uint64_t& used = m_payload.back();
        const std::uint64_t room = m_payload.size() == 1 ? m_firstCapacity : m_capacity;
        if (m_capacity != 0 && used == room) {
            CloseVolume();
            OpenVolume();
            continue;
        }
        std::size_t chunk = n;
        if (m_capacity != 0 && chunk > room - used)
            chunk = static_cast<std::size_t>(room - used);
        m_file.write(data, static_cast<std::streamsize>(chunk));
        if (!m_file)
            throw ToolError(m_path.string() + ": cannot be written (disk full?)");
        m_payload.back() += chunk;
        data += chunk;
        n -= chunk;
    }
}

FileChecksum VolumeWriter::AppendFile(const fs::path& source, std::uint32_t size)
{
    std::ifstream in(source, std::ios::binary);
    if (!in)
        throw ToolError(source.u8string() + ": cannot be opened");
    std::vector<char> buf(1 << 16);
    FileChecksum sum;
    sum.dwSize = size;
    std::uint64_t left = size;
    while (left > 0) {
        std::size_t n = left < buf.size() ? static_cast<std::size_t>(left) : buf.size();
        in.read(buf.data(), static_cast<std::streamsize>(n));
        if (static_cast<std::size_t>(in.gcount()) != n)
            throw ToolError(source.u8string() + ": became shorter while the media were written");
        sum.dwCrc = Crc32c(sum.dwCrc, buf.data(), n);
        Append(buf.data(), n);
        left -= n;
    }
    if (in.peek() != std::ifstream::traits_type::eof())
        throw ToolError(source.u8string() + ": became longer while the media were written");
    return sum;
}

std::vector<std::uint64_t> VolumeWriter::Finish()
{
    CloseVolume();
    return m_payload;
}

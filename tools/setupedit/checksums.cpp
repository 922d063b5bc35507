#include "tools/setupedit/checksums.h"

#include <fstream>
#include <string>

#include "model/crc32c.h"
#include "model/install_mngr.h"
#include "model/media_format.h"
#include "tools/setupedit/tool_error.h"
#include "tools/setupedit/tree_walk.h"

namespace fs = std::filesystem;

namespace {

// The payload of the Data.dat volumes read in order, each after its volume number.
class PayloadStream {
public:
    explicit PayloadStream(const std::vector<fs::path>& disks) : m_disks(disks) {}

    // Reads 1 to max bytes of the current volume, moving on to the next one
    // where it has ended; throws ToolError after the last.
    std::size_t Read(char* buffer, std::size_t max)
    {
        for (;;) {
            if (m_in.is_open()) {
                m_in.read(buffer, static_cast<std::streamsize>(max));
                const std::size_t n = static_cast<std::size_t>(m_in.gcount());
                if (n > 0)
                    return n;
                if (!m_in.eof())
                    throw ToolError(Path().string() + ": cannot be read");
                m_in.close();
                ++m_volume;
            }
            if (m_volume >= m_disks.size())
                throw ToolError("the volumes end before the files of Setup.dat do");
            m_in.clear();
            m_in.open(Path(), std::ios::binary);
            m_in.seekg(DATA_VOLUME_HEADER_SIZE);
            if (!m_in)
                throw ToolError(Path().string() + ": cannot be read");
        }
    }
    // The volume the last bytes read came from.
    std::size_t Volume() const { return m_volume; }

private:
    fs::path Path() const { return m_disks[m_volume] / DATA_FILE_NAME; }

    const std::vector<fs::path>& m_disks;
    std::ifstream m_in;
    std::size_t m_volume = 0;
};

}  // namespace

std::uint64_t ChecksumFileSize(std::size_t files) { return 16 + 8 * (static_cast<std::uint64_t>(files) + 2); }

FileChecksum ChecksumOfFile(const fs::path& file)
{
    try {
        CFile in(file.string().c_str(), CFile::modeRead | CFile::shareDenyWrite);
        return ChecksumToEnd(in);
    } catch (const CFileException& e) {
        throw ToolError(file.string() + ": cannot be read (error " + std::to_string(e.m_lOsError) + ")");
    }
}

CMediumChecksums ChecksumsOfMedium(const std::vector<fs::path>& disks, CSetupEdit& ed, std::vector<VolumeSpan>* spans)
{
    CMediumChecksums sums;
    sums.m_entries.push_back(ChecksumOfFile(disks.at(0) / DESCRIPTION_FILE_NAME));
    sums.m_entries.push_back(ChecksumOfFile(disks[0] / UNINSTALLER_SOURCE_NAME));
    if (spans)
        spans->clear();
    PayloadStream payload(disks);
    std::vector<char> buffer(1 << 16);
    for (const TreeEntry& entry : WalkTree(ed)) {
        if (!entry.file)
            continue;
        FileChecksum sum;
        sum.dwSize = entry.file->m_dwSize;
        VolumeSpan span{payload.Volume(), payload.Volume()};
        for (std::uint64_t left = sum.dwSize; left > 0;) {
            const std::size_t n = payload.Read(buffer.data(), left < buffer.size() ? left : buffer.size());
            if (left == sum.dwSize)
                span.first = payload.Volume();
            sum.dwCrc = Crc32c(sum.dwCrc, buffer.data(), n);
            left -= n;
        }
        span.last = payload.Volume();
        sums.m_entries.push_back(sum);
        if (spans)
            spans->push_back(span);
    }
    return sums;
}

void WriteChecksumFile(const fs::path& disk1, const CMediumChecksums& sums)
{
    const fs::path target = disk1 / CHECKSUM_FILE_NAME;
    const fs::path temp = disk1 / (std::string(CHECKSUM_FILE_NAME) + ".new");
    try {
        CFile out(temp.string().c_str(), CFile::modeCreate | CFile::modeWrite);
        sums.Store(out);
        out.Close();
    } catch (const CFileException& e) {
        std::error_code ec;
        fs::remove(temp, ec);
        throw ToolError(target.string() + ": cannot be written (error " + std::to_string(e.m_lOsError) + ")");
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        throw ToolError(target.string() + ": cannot be written: " + ec.message());
    }
}

// Loads arbitrary bytes as an install description, the way the installer
// reads Setup.dat and Setup.inf, and as the checksum file beside Setup.dat.
// Anything that loads must store and load again to the same bytes; a
// checksum file stores to exactly the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "framework/mem_file.h"
#include "model/archive.h"
#include "model/install_mngr.h"
#include "model/medium_checksums.h"
#include "model/tracked_block.h"

namespace {

std::vector<BYTE> Store(CInstallMngr& record)
{
    CMemFile file;
    record.StoreRecord(file);
    return file.Data();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        CInstallMngr record;
        CMemFile file(data, size);
        if (record.LoadRecord(file)) {
            std::vector<BYTE> first = Store(record);
            CInstallMngr again;
            CMemFile copy(first.data(), first.size());
            if (!again.LoadRecord(copy) || Store(again) != first)
                std::abort();
        }
    } catch (const CArchiveException&) {
        // A damaged description: the installer reports it and stops.
    }
    if (GetTrackedBlockCount() != 0)
        std::abort();  // every text block belongs to a record that is gone

    CMediumChecksums sums;
    CMemFile file(data, size);
    if (sums.Load(file) == CMediumChecksums::LOADED) {
        CMemFile stored;
        sums.Store(stored);
        if (stored.Data() != std::vector<BYTE>(data, data + size))
            std::abort();
    } else if (!sums.m_entries.empty()) {
        std::abort();  // a refused file leaves nothing behind
    }
    return 0;
}

#include "tools/setupedit/volume_plan.h"

#include <string>

#include "model/install_mngr.h"
#include "model/media_format.h"
#include "tools/setupedit/tool_error.h"

std::uint32_t VolumeCapacity(int mediaType)
{
    return GetVolumeCapacity(mediaType);
}

std::uint64_t FloppyBytes(int mediaType)
{
    switch (mediaType) {
    case 0:
        return 1213952;
    case 1:
        return 1457664;
    default:
        return 0;
    }
}

std::uint64_t ClusterBytes(std::uint64_t size)
{
    return (size + 511) / 512 * 512;
}

std::uint64_t FirstVolumeCapacity(int mediaType, std::uint64_t otherBytes)
{
    const std::uint64_t cap = VolumeCapacity(mediaType);
    const std::uint64_t floppy = FloppyBytes(mediaType);
    if (cap == 0)
        return 0;
    // Data.dat's last cluster may be partly used: the room is whole clusters
    // less the volume number.
    if (otherBytes + 512 > floppy)
        throw ToolError("disk 1's other files take " + std::to_string(otherBytes) + " bytes of the " +
                        std::to_string(floppy) + " on a floppy: no room is left for Data.dat");
    const std::uint64_t room = floppy - otherBytes - DATA_VOLUME_HEADER_SIZE;
    return room < cap ? room : cap;
}

std::vector<std::uint64_t> PlanVolumes(int mediaType, std::uint64_t payload, std::uint64_t firstCapacity)
{
    if (!IsValidMediaType(mediaType))
        throw ToolError("media type " + std::to_string(mediaType) + " is not one of 0, 1, 2, 3");
    std::uint32_t cap = VolumeCapacity(mediaType);
    if (cap == 0) {
        // The installer holds a volume's length in 32 bits: number and payload.
        if (payload > 0xFFFFFFFFull - 2)
            throw ToolError("media type " + std::to_string(mediaType) + " has one volume, and " +
                            std::to_string(payload) + " payload bytes do not fit in one Data.dat");
        return {payload};
    }
    std::vector<std::uint64_t> volumes;
    std::uint64_t left = payload;
    do {
        const std::uint64_t room = volumes.empty() && firstCapacity != 0 ? firstCapacity : cap;
        std::uint64_t n = left < room ? left : room;
        volumes.push_back(n);
        left -= n;
    } while (left > 0);
    // Volume numbers are 16-bit.
    if (volumes.size() > 0x10000)
        throw ToolError("the payload needs more than 65,536 volumes");
    return volumes;
}

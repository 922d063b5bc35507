#include "tools/setupedit/volume_plan.h"

#include <string>

#include "model/install_mngr.h"
#include "tools/setupedit/tool_error.h"

std::uint32_t VolumeCapacity(int mediaType)
{
    return GetVolumeCapacity(mediaType);
}

std::vector<std::uint64_t> PlanVolumes(int mediaType, std::uint64_t payload)
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
        std::uint64_t n = left < cap ? left : cap;
        volumes.push_back(n);
        left -= n;
    } while (left > 0);
    // Volume numbers are 16-bit.
    if (volumes.size() > 0x10000)
        throw ToolError("the payload needs more than 65,536 volumes");
    return volumes;
}

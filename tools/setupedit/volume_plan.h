// How the payload is cut into Data.dat volumes. Media types 0 and 1 have
// fixed volume capacities and every volume but the last is full (a file may
// run on into the next volume); types 2 and 3 have one volume of any size.
#pragma once

#include <cstdint>
#include <vector>

// Payload bytes of one volume for the media type (0: no fixed size).
std::uint32_t VolumeCapacity(int mediaType);

// Payload bytes of each volume, in order; at least one volume. Throws
// ToolError for an unknown media type or a payload that the type cannot hold.
std::vector<std::uint64_t> PlanVolumes(int mediaType, std::uint64_t payload);

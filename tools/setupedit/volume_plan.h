// How the payload is cut into Data.dat volumes. Media types 0 and 1 have
// fixed volume capacities and every volume between the first and the last is
// full (a file may run on into the next volume); the first may be shorter, so
// that it fits its floppy beside Setup.exe, Setup.dat and _Uninst.ex_.
// Types 2 and 3 have one volume of any size.
#pragma once

#include <cstdint>
#include <vector>

// Payload bytes of one volume for the media type (0: no fixed size).
std::uint32_t VolumeCapacity(int mediaType);

// Bytes that a floppy of the media type holds in its files (512-byte
// clusters): 1,213,952 for type 0 (1.2 MB), 1,457,664 for type 1 (1.44 MB);
// 0 for types 2 and 3.
std::uint64_t FloppyBytes(int mediaType);
// The space a file of size bytes takes on a floppy: whole 512-byte clusters.
std::uint64_t ClusterBytes(std::uint64_t size);

// The payload of the first volume when disk 1's other files take otherBytes
// on the floppy (clusters counted): what is left for Data.dat with its volume
// number, at most the volume capacity. Throws ToolError when nothing is left.
std::uint64_t FirstVolumeCapacity(int mediaType, std::uint64_t otherBytes);

// Payload bytes of each volume, in order; at least one volume. The first
// holds at most firstCapacity (0: the full capacity). Throws ToolError for an
// unknown media type or a payload that the type cannot hold.
std::vector<std::uint64_t> PlanVolumes(int mediaType, std::uint64_t payload, std::uint64_t firstCapacity = 0);

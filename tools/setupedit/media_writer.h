// Building a distribution medium: the install description (Setup.dat), the
// uninstaller (_Uninst.ex_), the setup program, the checksum file (Setup.crc)
// and the Data.dat volumes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "tools/setupedit/manifest.h"

class CSetupEdit;
class CInstalledFile;

// The description that the manifest stands for, with every file's version
// record read from the file. sources receives, in tree order, the manifest
// entry of each file object.
void FillDescription(const Manifest& m, CSetupEdit& ed,
                     std::vector<std::pair<const CInstalledFile*, const ManifestFile*>>* sources = nullptr);

struct BuildSummary {
    std::vector<std::uint64_t> volumes;  // payload bytes of each volume
    std::uint64_t payload = 0;
    std::size_t files = 0;
    std::uint64_t setupDatBytes = 0;
};

// Writes OUT/disk1 (Setup.dat, _Uninst.ex_, Setup.exe, Setup.crc, Data.dat volume 0),
// OUT/disk2 (volume 1) ... through a staging folder; throws ToolError and
// leaves nothing behind on failure.
BuildSummary BuildMedia(const Manifest& m, const std::filesystem::path& out);

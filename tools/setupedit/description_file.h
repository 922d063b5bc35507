// Reading a Setup.dat or Setup.inf from disk for the listing and the check.
#pragma once

#include <cstdint>
#include <filesystem>

class CSetupEdit;

// Loads the record; throws ToolError saying precisely why it cannot be read
// (missing, foreign signature, damaged, ending early). Returns the file's length.
std::uint64_t LoadDescription(const std::filesystem::path& file, CSetupEdit& ed);

// The number of bytes the record takes when stored again.
std::uint64_t StoredLength(CSetupEdit& ed);

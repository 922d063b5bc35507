// Sealing a medium built without a checksum file (by an older setupedit or
// another tool): its structure is checked as verify checks it, then the
// checksums of its files as they are go into disk 1's Setup.crc.
#pragma once

#include <filesystem>
#include <vector>

#include "tools/setupedit/verify.h"

// disks[0] holds Setup.dat. Writes Setup.crc only when verify finds the
// medium sound and it carries none yet; returns verify's report of the
// medium as it is afterwards (problems: nothing was written; sealed and no
// problems before the call: it was sealed already). Throws ToolError when
// the description cannot be read or Setup.crc cannot be written.
VerifyReport SealMedium(const std::vector<std::filesystem::path>& disks, bool& written);

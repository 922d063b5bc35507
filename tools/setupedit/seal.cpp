#include "tools/setupedit/seal.h"

#include "model/install_mngr.h"
#include "tools/setupedit/checksums.h"
#include "tools/setupedit/description_file.h"

namespace fs = std::filesystem;

VerifyReport SealMedium(const std::vector<fs::path>& disks, bool& written)
{
    written = false;
    // Checksums of a medium that is not sound would vouch for its damage; a
    // medium already sealed keeps its checksums, which may be older than
    // any damage since.
    VerifyReport before = VerifyMedia(disks);
    if (!before.problems.empty() || before.sealed)
        return before;
    CSetupEdit ed;
    LoadDescription(disks[0] / DESCRIPTION_FILE_NAME, ed);
    WriteChecksumFile(disks[0], ChecksumsOfMedium(disks, ed));
    written = true;
    return VerifyMedia(disks);
}

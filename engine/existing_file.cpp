// What is already at a target path: whether a file is there, whether its
// product version is the same as or newer than the new file's, and whether
// the platform reports it in use.
#include "engine/setup_engine.h"

#include "model/version_record.h"
#include "platform/disk.h"
#include "platform/path.h"
#include "platform/version.h"

BOOL CheckExistingFile(const std::string& strTarget, const BYTE* pNewVersion, BOOL bShared, DWORD& dwBits)
{
    dwBits = 0;
    const DWORD dwProbe = ProbeFile(strTarget);
    if (dwProbe == ERROR_FILE_NOT_FOUND)
        return TRUE;
    if (dwProbe != ERROR_SUCCESS)
        return FALSE;
    dwBits |= TARGET_EXISTS;

    // Only product versions count, most significant DWORD first, unsigned. A
    // file without a record is older than any new file.
    BYTE abExisting[VERSION_RECORD_SIZE];
    switch (ReadFixedVersion(strTarget, abExisting)) {
    case FIXED_VERSION_FOUND:
        if (ProductVersionOf(abExisting) >= ProductVersionOf(pNewVersion))
            dwBits |= TARGET_NOT_OLDER;
        break;
    case FIXED_VERSION_NONE:
        break;
    case FIXED_VERSION_NO_MEMORY:
        return FALSE;
    }

    char szWinDir[MAX_PATH];
    const UINT nLength = GetWindowsDirectoryA(szWinDir, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return FALSE;
    const DWORD dwFound = FindFileForInstall(bShared ? VFFF_ISSHAREDFILE : 0, FileNamePart(strTarget), szWinDir,
                                             DirectoryPart(strTarget));
    // Only the in-use answer alone counts.
    if (dwFound == VFF_FILEINUSE)
        dwBits |= TARGET_IN_USE;
    return TRUE;
}

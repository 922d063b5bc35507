#include "platform/disk.h"

#include "platform/find_handle.h"
#include "platform/path.h"

namespace {

std::string DriveRoot(DWORD drive)
{
    std::string root = "?:\\";
    root[0] = static_cast<char>((drive & 0xFF) + 0x40);
    return root;
}

// The error of a search that found nothing; never 0, which would read as found.
DWORD SearchError()
{
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : ERROR_FILE_NOT_FOUND;
}

}  // namespace

BOOL GetDiskFreeBytes(DWORD drive, DWORD& bytes)
{
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(DriveRoot(drive).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return FALSE;
    // Today's disks overflow 32 bits; a wrapped product would be meaningless,
    // so the count saturates instead (each factor pair fits 64 bits).
    const ULONGLONG limit = 0xFFFFFFFFull;
    ULONGLONG clusterBytes = static_cast<ULONGLONG>(bytesPerSector) * sectorsPerCluster;
    ULONGLONG freeBytes = clusterBytes > limit ? (freeClusters ? limit + 1 : 0) : clusterBytes * freeClusters;
    bytes = freeBytes > limit ? static_cast<DWORD>(limit) : static_cast<DWORD>(freeBytes);
    return TRUE;
}

BOOL FindDrivesOfType(const DWORD* types, BOOL includeFloppies, std::vector<BYTE>& drives)
{
    drives.clear();
    if (!types)
        return FALSE;
    for (DWORD drive = includeFloppies ? 1 : 3; drive <= 26; ++drive) {
        UINT type = GetDriveTypeA(DriveRoot(drive).c_str());
        for (DWORD i = 1; i <= types[0]; ++i) {
            if (types[i] == type) {
                drives.push_back(static_cast<BYTE>(drive));
                break;
            }
        }
    }
    return drives.empty() ? FALSE : TRUE;
}

BOOL CreateDirectoryPath(const std::string& path, std::vector<std::string>* created)
{
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (CreateDirectoryA(path.c_str(), nullptr)) {
        if (created)
            created->push_back(path);
        return TRUE;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Something is there; only a directory will take the files.
        const DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return TRUE;
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (GetLastError() != ERROR_PATH_NOT_FOUND)
        return FALSE;
    // Walk down from the first component below the drive; PathPrefix ends on
    // the whole path, so the walk always ends.
    for (DWORD n = 1;; ++n) {
        std::string prefix = PathPrefix(path, n);
        DWORD state = ProbeDirectory(prefix);
        if (state == ERROR_PATH_NOT_FOUND) {
            if (!CreateDirectoryA(prefix.c_str(), nullptr))
                return FALSE;
            if (created)
                created->push_back(prefix);
        } else if (state != ERROR_SUCCESS) {
            return FALSE;
        }
        if (prefix == path)
            return TRUE;
    }
}

DWORD ProbeFile(const std::string& path)
{
    WIN32_FIND_DATAA data;
    CFindHandle search(FindFirstFileA(path.c_str(), &data));
    return search.IsValid() ? ERROR_SUCCESS : SearchError();
}

DWORD RemoveEmptyDirectory(const std::string& dir)
{
    return RemoveDirectoryA(dir.c_str()) ? ERROR_SUCCESS : GetLastError();
}

DWORD ProbeDirectory(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    CFindHandle search(FindFirstFileA((dir + "\\*.*").c_str(), &data));
    if (search.IsValid())
        return ERROR_SUCCESS;
    DWORD error = SearchError();
    if (error == ERROR_FILE_NOT_FOUND) {
        // Only an empty drive root lists nothing at all (a directory has ".").
        SetLastError(ERROR_PATH_NOT_FOUND);
        return ERROR_PATH_NOT_FOUND;
    }
    return error;
}

std::string MakeTempFileName(const std::string& dir)
{
    std::string where = dir;
    if (where.empty()) {
        char temp[MAX_PATH];
        DWORD len = GetTempPathA(MAX_PATH, temp);
        if (len == 0 || len >= MAX_PATH)
            return std::string();
        where.assign(temp, len);
        if (where.back() == '\\')
            where.pop_back();
    }
    char name[MAX_PATH];
    if (!GetTempFileNameA(where.c_str(), "Fil", 0, name))
        return std::string();
    return name;
}

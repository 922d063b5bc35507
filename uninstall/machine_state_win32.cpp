#include "uninstall/machine_state_win32.h"

#include <shlobj.h>

#include <cstring>

#include "engine/registry_entries.h"
#include "platform/disk.h"
#include "platform/progman.h"
#include "platform/progman_text.h"
#include "platform/registry.h"
#include "platform/shell_link.h"

HKEY RootKey(RegRoot root) { return root == REG_CLASSES ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE; }

std::string ProgramGroupFolder(const std::string& strGroup)
{
    char szPrograms[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, szPrograms)))
        return std::string();
    // Each part of a nested group's name as the file system keeps it.
    std::string strFolder = szPrograms;
    std::string::size_type start = 0;
    for (;;) {
        const std::string::size_type end = strGroup.find('\\', start);
        strFolder += "\\" + StoredName(strGroup.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return strFolder;
        start = end + 1;
    }
}

bool CMachineState::ReadString(RegRoot root, const std::string& strKey, const std::string& strName,
                               std::string& strValue)
{
    return GetRegString(RootKey(root), strKey, strName, strValue) == ERROR_SUCCESS;
}

SharedCountState CMachineState::ReadSharedCount(const std::string& strPath, DWORD& dwCount)
{
    RegValue value;
    const LONG code = GetRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, strPath, value);
    if (code == ERROR_FILE_NOT_FOUND)
        return COUNT_MISSING;
    if (code != ERROR_SUCCESS || value.dwType != REG_DWORD || value.data.size() != sizeof(DWORD))
        return COUNT_ODD;
    std::memcpy(&dwCount, value.data.data(), sizeof dwCount);
    return COUNT_FOUND;
}

std::string CMachineState::ShortPathOf(const std::string& strPath)
{
    char szShort[MAX_PATH];
    const DWORD dwLength = GetShortPathNameA(strPath.c_str(), szShort, sizeof szShort);
    return dwLength == 0 || dwLength >= sizeof szShort ? std::string() : std::string(szShort, dwLength);
}

bool CMachineState::IsLinkedDirectory(const std::string& strDir)
{
    const DWORD dwAttributes = GetFileAttributesA(strDir.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool CMachineState::HasProgramGroup(const std::string& strGroup)
{
    const std::string strFolder = ProgramGroupFolder(strGroup);
    return !strFolder.empty() && ProbeDirectory(strFolder) == ERROR_SUCCESS;
}

bool CMachineState::IsProgramManagerAnswering()
{
    std::vector<std::string> groups;
    return GetProgramGroups(groups) != FALSE;
}

bool CMachineState::HasShellLinkGroup(const std::string& strGroup)
{
    std::string strFolder;
    return GetShellLinkGroupFolder(strGroup, strFolder) && ProbeDirectory(strFolder) == ERROR_SUCCESS;
}

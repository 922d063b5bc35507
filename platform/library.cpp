#include "platform/library.h"

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

}  // namespace

BOOL RestrictLibrarySearch()
{
    typedef BOOL(WINAPI * SetDefaultDirectoriesFn)(DWORD);
    // Windows 7 has it only with an update: asked for, not imported.
    const SetDefaultDirectoriesFn pfnSet = reinterpret_cast<SetDefaultDirectoriesFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (pfnSet && pfnSet(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return TRUE;
    SetDllDirectoryA("");
    return FALSE;
}

HMODULE LoadSystemLibrary(const char* pszName)
{
    char szPath[MAX_PATH];
    const UINT nLength = GetSystemDirectoryA(szPath, MAX_PATH);
    if (nLength == 0 || nLength + 1 + lstrlenA(pszName) >= MAX_PATH)
        return nullptr;
    return LoadLibraryA((std::string(szPath, nLength) + "\\" + pszName).c_str());
}

// Self-registration: a library's DllRegisterServer and DllUnregisterServer,
// called by the registration, the rollback and the uninstaller. A file of
// its own, so that a program that only unregisters links nothing else of
// the engine.
#include "engine/setup_engine.h"

#include <ole2.h>

namespace {

// One OLE initialisation, undone when the owner goes.
class COleSession {
public:
    COleSession() : m_hr(OleInitialize(nullptr)) {}
    ~COleSession()
    {
        if (SUCCEEDED(m_hr))
            OleUninitialize();
    }
    COleSession(const COleSession&) = delete;
    COleSession& operator=(const COleSession&) = delete;

    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};

// A loaded library, freed when the owner goes.
class CLoadedLibrary {
public:
    // The libraries it needs are looked for beside it first, where a control's
    // helper libraries are installed.
    explicit CLoadedLibrary(const std::string& strPath)
        : m_hModule(LoadLibraryExA(strPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH))
    {
    }
    ~CLoadedLibrary()
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
    }
    CLoadedLibrary(const CLoadedLibrary&) = delete;
    CLoadedLibrary& operator=(const CLoadedLibrary&) = delete;

    HMODULE Get() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

typedef HRESULT(STDAPICALLTYPE* ServerEntryFn)();

// Runs the file's export pszEntry (DllRegisterServer or DllUnregisterServer);
// the error code of the first step that failed, or 0. The library and OLE
// are released before the caller sets the code, so that their clean-up
// cannot overwrite it.
DWORD CallServerEntry(const std::string& strPath, const char* pszEntry)
{
    COleSession ole;
    if (FAILED(ole.Result()))
        return static_cast<DWORD>(ole.Result());
    CLoadedLibrary library(strPath);
    if (!library.Get())
        return GetLastError();
    // GetProcAddress answers the generic export type; the entry takes no arguments.
    ServerEntryFn pfnEntry =
        reinterpret_cast<ServerEntryFn>(reinterpret_cast<void (*)()>(GetProcAddress(library.Get(), pszEntry)));
    if (!pfnEntry)
        return GetLastError();
    HRESULT hr = pfnEntry();
    return FAILED(hr) ? static_cast<DWORD>(hr) : ERROR_SUCCESS;
}

// TRUE when the entry ran and succeeded; otherwise FALSE with the code as the last error.
BOOL RunServerEntry(const std::string& strPath, const char* pszEntry)
{
    const DWORD dwError = CallServerEntry(strPath, pszEntry);
    SetLastError(dwError);
    return dwError == ERROR_SUCCESS;
}

}  // namespace

BOOL SelfRegisterFile(const std::string& strPath) { return RunServerEntry(strPath, "DllRegisterServer"); }

BOOL SelfUnregisterFile(const std::string& strPath) { return RunServerEntry(strPath, "DllUnregisterServer"); }

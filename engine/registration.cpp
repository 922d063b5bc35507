// System registration: the product's registry entries, with the journal that
// lets the rollback put them back, and the self-registration of marked files.
#include "engine/setup_engine.h"

#include <ole2.h>

#include "engine/registry_entries.h"
#include "platform/disk.h"
#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/registry.h"

namespace {

const char kDocTypeName[] = "Vantler Resource";
const char kOpenArgument[] = " \"%1\"";
// Written over a count that cannot be read as one.
const DWORD kUnknownCount = 127;

// The App Paths and Uninstall keys hold every product's entry; ours is named
// by one key component. An empty name, or one with a backslash, would name
// the shared key itself or another product's, which a rollback would delete.
bool IsOneKeyName(const std::string& name)
{
    return !name.empty() && name.find('\\') == std::string::npos;
}

// TRUE when the key exists and both of its values could be read.
BOOL ReadKeyValues(const std::string& key, const char* pszFirst, std::string& strFirst, const char* pszSecond,
                   std::string& strSecond)
{
    return RegKeyExists(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS &&
           GetRegString(HKEY_LOCAL_MACHINE, key, pszFirst, strFirst) == ERROR_SUCCESS &&
           GetRegString(HKEY_LOCAL_MACHINE, key, pszSecond, strSecond) == ERROR_SUCCESS;
}

// Creates the key and writes its two values, the second only when the first
// went in; failures are left out. TRUE when this run created or opened the
// key, and also when a value went in although the create was refused (a key
// that lets values be set but is not granted all access), so that the
// rollback knows of every value it has to put back.
BOOL WriteKeyValues(const std::string& key, const char* pszFirst, const std::string& strFirst, const char* pszSecond,
                    const std::string& strSecond)
{
    BOOL bWritten = CreateRegKey(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS;
    if (SetRegString(HKEY_LOCAL_MACHINE, key, pszFirst, strFirst) == ERROR_SUCCESS) {
        bWritten = TRUE;
        SetRegString(HKEY_LOCAL_MACHINE, key, pszSecond, strSecond);
    }
    return bWritten;
}

// TRUE when the record of the previous installation lists the file as shared
// under the same full path: that installation has counted it already.
bool CountedBefore(CSetupEngine* pOldRecord, const CInstalledFile& file)
{
    if (!pOldRecord)
        return false;
    CObject* pItem = nullptr;
    for (int n = pOldRecord->GetFirstItem(pItem); n != TREE_END; n = pOldRecord->GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        const CInstalledFile& old = *static_cast<CInstalledFile*>(pItem);
        if ((old.m_dwFlags & FILE_SHARED) && SameNameIgnoringCase(old.m_strName, file.m_strName))
            return true;
    }
    return false;
}

// Raises the SharedDLLs count of every shared file. FALSE, with the registry's
// error as the last error, as soon as a count cannot be written.
BOOL CountSharedFiles(CSetupEngine& engine)
{
    CObject* pItem = nullptr;
    for (int n = engine.GetFirstItem(pItem); n != TREE_END; n = engine.GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        CInstalledFile& file = *static_cast<CInstalledFile*>(pItem);
        if (!(file.m_dwFlags & FILE_SHARED))
            continue;
        DWORD dwCount = 0;
        LONG code = GetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.m_strName, dwCount);
        if (code == ERROR_SUCCESS) {
            if (CountedBefore(engine.m_pOldRecord, file))
                continue;
            ++dwCount;
        } else if (code == ERROR_FILE_NOT_FOUND) {
            dwCount = 1;
        } else {
            dwCount = kUnknownCount;
        }
        if (SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.m_strName, dwCount) != ERROR_SUCCESS)
            return FALSE;
        engine.m_journal.m_lstCountedDlls.AddTail(&file);
    }
    return TRUE;
}

// The short form of a file's path, which needs no quotes in a command line;
// the path itself when there is none (a missing file, a path too long).
std::string ShortPathOf(const std::string& strPath)
{
    char szShort[MAX_PATH];
    DWORD dwLength = GetShortPathNameA(strPath.c_str(), szShort, sizeof szShort);
    if (dwLength == 0 || dwLength >= sizeof szShort)
        return strPath;
    return std::string(szShort, dwLength);
}

// The resource-file type: its name, open command, extension and New-menu
// entry. Every failure is left out.
void RegisterDocumentType(CSetupEngine& engine)
{
    InstallJournal& journal = engine.m_journal;
    const std::string docType = DocTypeKey(engine.m_strMainExe);
    journal.m_bDocTypeExisted = RegKeyExists(HKEY_CLASSES_ROOT, docType) == ERROR_SUCCESS;
    CreateRegKey(HKEY_CLASSES_ROOT, docType);
    journal.m_bDocTypeWritten = TRUE;
    SetRegString(HKEY_CLASSES_ROOT, docType, "", kDocTypeName);

    const std::string program = ShortPathOf(engine.m_strDestDir + "\\" + engine.m_strMainExe);
    SetRegString(HKEY_CLASSES_ROOT, docType + "\\shell\\open\\command", "", program + kOpenArgument);

    const std::string extension = ExtensionKey(engine.m_strResExt);
    journal.m_bExtExisted = RegKeyExists(HKEY_CLASSES_ROOT, extension) == ERROR_SUCCESS;
    SetRegString(HKEY_CLASSES_ROOT, extension, "", docType);
    journal.m_bExtWritten = TRUE;
    SetRegString(HKEY_CLASSES_ROOT, extension + "\\ShellNew", "NullFile", "");
}

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
    explicit CLoadedLibrary(const std::string& strPath) : m_hModule(LoadLibraryA(strPath.c_str())) {}
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

BOOL CSetupEngine::UpdateRegistry()
{
    const bool bAppKey = IsOneKeyName(m_strMainExe);
    const bool bUninstKey = IsOneKeyName(m_strProductTitle);
    const std::string appKey = AppPathKey(m_strMainExe);
    const std::string uninstKey = UninstallKey(m_strProductTitle);

    if (bAppKey)
        m_journal.m_bAppPathSaved =
            ReadKeyValues(appKey, "", m_journal.m_strOldAppPath, "Path", m_journal.m_strOldAppDir);
    if (bUninstKey)
        m_journal.m_bUninstKeySaved = ReadKeyValues(uninstKey, "DisplayName", m_journal.m_strOldDisplayName,
                                                    "UninstallString", m_journal.m_strOldUninstallString);
    if (bAppKey && WriteKeyValues(appKey, "", m_strDestDir + "\\" + m_strMainExe, "Path", m_strDestDir))
        m_journal.m_bAppPathWritten = TRUE;
    if (bUninstKey && WriteKeyValues(uninstKey, "DisplayName", m_strProductTitle, "UninstallString",
                                     m_strDestDir + "\\" + UNINSTALLER_NAME))
        m_journal.m_bUninstKeyWritten = TRUE;

    if (!CountSharedFiles(*this))
        return FALSE;
    RegisterDocumentType(*this);
    return TRUE;
}

BOOL CSetupEngine::RegisterDlls()
{
    CObject* pItem = nullptr;
    for (int n = GetFirstItem(pItem); n != TREE_END; n = GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        CInstalledFile& file = *static_cast<CInstalledFile*>(pItem);
        const DWORD dwProbe = ProbeFile(file.m_strName);
        if (dwProbe != ERROR_SUCCESS && dwProbe != ERROR_FILE_NOT_FOUND) {
            SetLastError(dwProbe);
            return FALSE;
        }
        const bool bRegister = (file.m_dwFlags & FILE_SELFREG) ||
                               ((file.m_dwFlags & FILE_SELFREG_ABSENT) && dwProbe == ERROR_FILE_NOT_FOUND);
        if (!bRegister)
            continue;
        // Whatever it wrote before a failure is undone with the file, should the run be rolled back.
        m_journal.m_lstSelfRegistered.AddTail(&file);
        if (!SelfRegisterFile(file.m_strName)) {
            const DWORD dwError = GetLastError();
            if (m_pfnCallback)
                m_pfnCallback(SETUPCB_ERROR, SETUPERR_DLLREGISTER, 0);
            SetLastError(dwError);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL SelfRegisterFile(const std::string& strPath) { return RunServerEntry(strPath, "DllRegisterServer"); }

BOOL SelfUnregisterFile(const std::string& strPath) { return RunServerEntry(strPath, "DllUnregisterServer"); }

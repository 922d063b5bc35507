// System registration: the product's registry entries, with the journal that
// lets the rollback put them back, and the self-registration of marked files.
#include "engine/setup_engine.h"

#include <cstring>

#include <ole2.h>

#include "engine/registry_entries.h"
#include "platform/disk.h"
#include "platform/name_compare.h"
#include "platform/path.h"
#include "platform/registry.h"

namespace {

const char kDocTypeName[] = "Vantler Resource";
const char kOpenArgument[] = " \"%1\"";
// Written over a value that holds no count.
const DWORD kUnknownCount = 127;

// The App Paths and Uninstall keys hold every product's entry; ours is named
// by one key component. An empty name, or one with a backslash, would name
// the shared key itself or another product's, which a rollback would delete.
bool IsOneKeyName(const std::string& name)
{
    return !name.empty() && name.find('\\') == std::string::npos;
}

// Anything but a key known to be missing counts as there: a key that cannot
// be opened for reading may still exist, and the rollback never deletes one
// that did.
BOOL KeyExisted(HKEY root, const std::string& key)
{
    return RegKeyExists(root, key) != ERROR_FILE_NOT_FOUND;
}

// Notes what the value holds before this run writes it.
void SaveValue(const std::string& key, const char* pszName, SavedValue& saved)
{
    saved.strName = pszName;
    saved.lBefore = GetRegValue(HKEY_LOCAL_MACHINE, key, pszName, saved.previous);
}

// Notes the key and both its values as they are, then creates the key and
// writes the values, the second only when the first went in; failures are
// left out. A key that lets values be set but is not granted all access
// refuses the create: what went in is noted all the same.
void WriteKeyValues(const std::string& key, const char* pszFirst, const std::string& strFirst, const char* pszSecond,
                    const std::string& strSecond, SavedKey& saved)
{
    const BOOL bExisted = KeyExisted(HKEY_LOCAL_MACHINE, key);
    SaveValue(key, pszFirst, saved.first);
    SaveValue(key, pszSecond, saved.second);
    const BOOL bMade = CreateRegKey(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS;
    saved.first.bWritten = SetRegString(HKEY_LOCAL_MACHINE, key, pszFirst, strFirst) == ERROR_SUCCESS;
    if (saved.first.bWritten)
        saved.second.bWritten = SetRegString(HKEY_LOCAL_MACHINE, key, pszSecond, strSecond) == ERROR_SUCCESS;
    saved.bCreated = !bExisted && (bMade || saved.first.bWritten);
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

// A SharedDLLs value that this run can raise: a 32-bit count.
bool IsCount(const RegValue& value)
{
    return value.dwType == REG_DWORD && value.data.size() == sizeof(DWORD);
}

// Raises the SharedDLLs count of every shared file. FALSE, with the registry's
// error as the last error, as soon as a count cannot be written.
BOOL CountSharedFiles(CSetupEngine& engine)
{
    CSetupEngine* pOldRecord = engine.PreviousRecord();
    CObject* pItem = nullptr;
    for (int n = engine.GetFirstItem(pItem); n != TREE_END; n = engine.GetNextItem(pItem)) {
        if (n != TREE_FILE)
            continue;
        CInstalledFile& file = *static_cast<CInstalledFile*>(pItem);
        if (!(file.m_dwFlags & FILE_SHARED))
            continue;
        SavedValue saved;
        saved.strName = file.m_strName;
        saved.lBefore = GetRegValue(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.m_strName, saved.previous);
        const bool bCount = saved.lBefore == ERROR_SUCCESS && IsCount(saved.previous);
        DWORD dwCount = kUnknownCount;
        if (bCount) {
            std::memcpy(&dwCount, saved.previous.data.data(), sizeof dwCount);
            // One more would wrap to 0, which invites an uninstaller to delete the file.
            if (CountedBefore(pOldRecord, file) || dwCount == 0xFFFFFFFF)
                continue;
            ++dwCount;
        } else if (saved.lBefore == ERROR_FILE_NOT_FOUND) {
            dwCount = 1;
        }
        if (SetRegDword(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, file.m_strName, dwCount) != ERROR_SUCCESS)
            return FALSE;
        if (bCount || saved.lBefore == ERROR_FILE_NOT_FOUND) {
            engine.m_journal.m_lstCountedDlls.AddTail(&file);
        } else if (saved.lBefore == ERROR_SUCCESS) {
            saved.bWritten = TRUE;
            engine.m_journal.m_lstReplacedCounts.push_back(saved);
        }
        // A value that could not be read cannot be put back: it keeps the high count.
    }
    return TRUE;
}

// The short form of a file's path, which holds no blank; the path itself
// when there is none (a missing file, a path too long).
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
    journal.m_bDocTypeExisted = KeyExisted(HKEY_CLASSES_ROOT, docType);
    CreateRegKey(HKEY_CLASSES_ROOT, docType);
    journal.m_bDocTypeWritten = TRUE;
    SetRegString(HKEY_CLASSES_ROOT, docType, "", kDocTypeName);

    const std::string program = QuotedIfBlank(ShortPathOf(engine.m_strDestDir + "\\" + engine.m_strMainExe));
    SetRegString(HKEY_CLASSES_ROOT, docType + "\\shell\\open\\command", "", program + kOpenArgument);

    const std::string extension = ExtensionKey(engine.m_strResExt);
    journal.m_bExtExisted = KeyExisted(HKEY_CLASSES_ROOT, extension);
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

BOOL CSetupEngine::UpdateRegistry()
{
    if (IsOneKeyName(m_strMainExe))
        WriteKeyValues(AppPathKey(m_strMainExe), "", m_strDestDir + "\\" + m_strMainExe, "Path", m_strDestDir,
                       m_journal.m_appPath);
    if (IsOneKeyName(m_strProductTitle))
        WriteKeyValues(UninstallKey(m_strProductTitle), "DisplayName", m_strProductTitle, "UninstallString",
                       QuotedIfBlank(m_strDestDir + "\\" + UNINSTALLER_NAME), m_journal.m_uninstKey);

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

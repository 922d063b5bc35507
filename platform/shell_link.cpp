#include "platform/shell_link.h"

#include <objbase.h>
#include <shlobj.h>

#include "platform/disk.h"
#include "platform/path.h"
#include "platform/progman_text.h"

namespace {

// One COM initialisation of the thread, undone when the owner goes.
class CComSession {
public:
    CComSession() : m_hr(CoInitialize(nullptr)) {}
    ~CComSession()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    CComSession(const CComSession&) = delete;
    CComSession& operator=(const CComSession&) = delete;

private:
    HRESULT m_hr;
};

// One reference to a COM object, released when the owner goes.
template <class T>
class CComRef {
public:
    CComRef() = default;
    ~CComRef()
    {
        if (m_p)
            m_p->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;

    T* operator->() const { return m_p; }
    void** Receive() { return reinterpret_cast<void**>(&m_p); }

private:
    T* m_p = nullptr;
};

BOOL Fail(DWORD dwError)
{
    SetLastError(dwError);
    return FALSE;
}

// The HRESULT as the thread's last error: a Win32 code it carries, else itself.
BOOL FailWith(HRESULT hr)
{
    return Fail(HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr));
}

BOOL SaveLink(const ProgramItem& item, const std::string& strLink)
{
    CComRef<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Receive());
    if (FAILED(hr))
        return FailWith(hr);
    const std::string strDir = DirectoryPart(item.m_strCommandLine);
    if (FAILED(hr = link->SetPath(item.m_strCommandLine.c_str())) ||
        FAILED(hr = link->SetWorkingDirectory(strDir.c_str())))
        return FailWith(hr);
    CComRef<IPersistFile> file;
    if (FAILED(hr = link->QueryInterface(IID_IPersistFile, file.Receive())))
        return FailWith(hr);
    WCHAR szLink[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, strLink.c_str(), -1, szLink, MAX_PATH) == 0)
        return FALSE;
    if (FAILED(hr = file->Save(szLink, TRUE)))
        return FailWith(hr);
    return TRUE;
}

}  // namespace

BOOL GetShellLinkGroupFolder(const std::string& strGroup, std::string& strFolder, BOOL bAllUsers)
{
    if (!IsSafeGroupName(strGroup))
        return Fail(ERROR_INVALID_PARAMETER);
    char szPrograms[MAX_PATH];
    const HRESULT hr = SHGetFolderPathA(nullptr, bAllUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, nullptr,
                                        SHGFP_TYPE_CURRENT, szPrograms);
    if (FAILED(hr))
        return FailWith(hr);
    strFolder = std::string(szPrograms) + "\\" + strGroup;
    return TRUE;
}

BOOL CreateShellLinkGroup(const std::string& strGroup, const ProgramItem* const* items, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (!items || !items[i] || !IsSafeCaption(items[i]->m_strCaption))
            return Fail(ERROR_INVALID_PARAMETER);
    }
    std::string strFolder;
    if (!GetShellLinkGroupFolder(strGroup, strFolder) || !CreateDirectoryPath(strFolder))
        return FALSE;
    CComSession com;
    for (std::size_t i = 0; i < count; ++i) {
        if (!SaveLink(*items[i], strFolder + "\\" + items[i]->m_strCaption + ".lnk"))
            return FALSE;
    }
    return TRUE;
}

BOOL DeleteShellLinks(const std::string& strGroup, const std::vector<std::string>& captions, BOOL bFolder,
                      BOOL bAllUsers)
{
    for (const std::string& strCaption : captions) {
        if (!IsSafeCaption(strCaption))
            return Fail(ERROR_INVALID_PARAMETER);
    }
    std::string strFolder;
    if (!GetShellLinkGroupFolder(strGroup, strFolder, bAllUsers))
        return FALSE;
    BOOL bDone = TRUE;
    for (const std::string& strCaption : captions) {
        if (!DeleteFileA((strFolder + "\\" + strCaption + ".lnk").c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            bDone = FALSE;
    }
    // Only an empty folder is removed: whatever else is in it stays.
    if (bFolder) {
        const DWORD dwError = RemoveEmptyDirectory(strFolder);
        if (dwError != ERROR_SUCCESS && dwError != ERROR_FILE_NOT_FOUND && dwError != ERROR_DIR_NOT_EMPTY)
            bDone = FALSE;
    }
    return bDone;
}

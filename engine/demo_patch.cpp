// The engine's post-install function: the demo projects' form files name
// their resource file by the path it had where the demos were made; after
// the install they are pointed at the installed copies.
#include "engine/setup_engine.h"

#include <algorithm>
#include <cstring>

#include "model/tracked_block.h"
#include "platform/path.h"
#include "platform/temp_file.h"

namespace {

struct DemoPatch {
    const char* pszFormFile;  // below the destination directory
    const char* pszSearch;
    const char* pszResource;  // below the destination directory
};

const DemoPatch DEMO_PATCHES[] = {
    {"\\VB\\Joust\\Form1.frm", "C:\\PROJEKTE\\Language\\English\\Joust.vtr", "\\VB\\Joust\\Joust.vtr"},
    {"\\VB\\Q7\\Form1.frm", "C:\\PROJEKTE\\Language\\English\\Q7.vtr", "\\VB\\Q7\\Q7.vtr"},
};

// Frees a tracked block when it goes out of scope.
class CTrackedBuffer {
public:
    explicit CTrackedBuffer(DWORD dwSize) : m_p(static_cast<char*>(AllocTrackedBlock(dwSize, "ReplaceInFile"))) {}
    ~CTrackedBuffer()
    {
        if (m_p)
            FreeTrackedBlock(m_p);
    }
    CTrackedBuffer(const CTrackedBuffer&) = delete;
    CTrackedBuffer& operator=(const CTrackedBuffer&) = delete;

    char* Get() const { return m_p; }

private:
    char* m_p;
};

}  // namespace

void PatchDemoProjects(CInstallMngr* pEngine)
{
    const std::string& strDest = pEngine->m_strDestDir;
    for (const DemoPatch& patch : DEMO_PATCHES)
        ReplaceInFile(strDest + patch.pszFormFile, patch.pszSearch, strDest + patch.pszResource);
}

// The patched contents go to a temporary file beside the form file, which
// then takes its name in one step: a write that fails (a full disk) leaves
// the old form file whole instead of cut short.
BOOL ReplaceInFile(const std::string& strPath, const std::string& strSearch, const std::string& strReplacement)
{
    try {
        // Held without sharing while it is read, as the patch's own.
        CFile file(strPath.c_str(), CFile::modeReadWrite | CFile::shareExclusive);
        const ULONGLONG nLength = file.GetLength();
        const DWORD dwSearch = static_cast<DWORD>(strSearch.size());
        const DWORD dwReplacement = static_cast<DWORD>(strReplacement.size());
        const DWORD dwGrowth = dwReplacement > dwSearch ? dwReplacement - dwSearch : 0;
        // One byte more, so that an empty file gets a block too.
        if (nLength >= 0xFFFFFFFFull - dwGrowth) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return FALSE;
        }
        const DWORD dwLength = static_cast<DWORD>(nLength);
        CTrackedBuffer buffer(dwLength + dwGrowth + 1);
        if (!buffer.Get()) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return FALSE;
        }
        char* pData = buffer.Get();
        if (file.Read(pData, dwLength) != dwLength)
            CFile::ThrowOsError(ERROR_HANDLE_EOF, strPath);

        char* pEnd = pData + dwLength;
        char* pFound = std::search(pData, pEnd, strSearch.begin(), strSearch.end());
        if (pFound == pEnd)
            return TRUE;

        std::memmove(pFound + dwReplacement, pFound + dwSearch, static_cast<size_t>(pEnd - pFound - dwSearch));
        std::memcpy(pFound, strReplacement.data(), dwReplacement);

        CTempFile temp;
        if (!temp.Create(DirectoryPart(strPath)))
            CFile::ThrowOsError(static_cast<LONG>(GetLastError()), strPath);
        CFile patched(temp.GetPath().c_str(), CFile::modeWrite | CFile::modeCreate | CFile::shareExclusive);
        patched.Write(pData, dwLength - dwSearch + dwReplacement);
        patched.Close();
        file.Close();
        temp.Commit(strPath);
        return TRUE;
    } catch (const CFileException& error) {
        SetLastError(error.m_lOsError > 0 ? static_cast<DWORD>(error.m_lOsError) : ERROR_WRITE_FAULT);
        return FALSE;
    }
}

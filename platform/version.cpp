#include "platform/version.h"

#include <cstring>
#include <utility>
#include <vector>

#include "framework/format_text.h"
#include "model/tracked_block.h"

namespace {

const char* const kValueNames[VERSTR_COUNT] = {
    "CompanyName",      "FileDescription", "FileVersion", "InternalName",
    "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion",
};

// The file's version resource in a tracked block, released on every path.
class CVersionBlock {
public:
    explicit CVersionBlock(const std::string& path)
    {
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        if (size == 0)
            return;
        m_pData = AllocTrackedBlock(size, "version resource");
        if (!m_pData) {
            m_bOutOfMemory = true;
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return;
        }
        // A resource that cannot be read must not be queried.
        if (!GetFileVersionInfoA(path.c_str(), 0, size, m_pData)) {
            DWORD error = GetLastError();
            Release();
            SetLastError(error);
        }
    }
    ~CVersionBlock() { Release(); }
    CVersionBlock(const CVersionBlock&) = delete;
    CVersionBlock& operator=(const CVersionBlock&) = delete;

    bool IsLoaded() const { return m_pData != nullptr; }
    // A resource was there, but no block could be had to read it.
    bool IsOutOfMemory() const { return m_bOutOfMemory; }

    // The value's bytes and their count, or false when it is not there.
    bool Query(const char* subBlock, void*& value, UINT& length) const
    {
        value = nullptr;
        length = 0;
        return VerQueryValueA(m_pData, subBlock, &value, &length) && value;
    }

private:
    void Release()
    {
        if (m_pData)
            FreeTrackedBlock(m_pData);
        m_pData = nullptr;
    }

    void* m_pData = nullptr;
    bool m_bOutOfMemory = false;
};

// The seam's answers: upper-cased path and result, a few at most. (A list,
// not a map: the tree code would weigh more in Setup.exe than the seam.)
std::vector<std::pair<std::string, DWORD>> g_findFileAnswers;

std::pair<std::string, DWORD>* FindAnswer(const std::string& upperPath)
{
    for (auto& answer : g_findFileAnswers)
        if (answer.first == upperPath)
            return &answer;
    return nullptr;
}

std::string UpperPath(std::string path)
{
    if (!path.empty())
        CharUpperBuffA(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

}  // namespace

BOOL ReadVersionStrings(const std::string& path, std::string out[VERSTR_COUNT])
{
    CVersionBlock block(path);
    if (!block.IsLoaded())
        return FALSE;
    void* value;
    UINT length;
    if (!block.Query("\\VarFileInfo\\Translation", value, length) || length < sizeof(DWORD))
        return FALSE;
    // Entry: language in the low word, code page in the high word; the
    // string table is named language first.
    DWORD entry;
    std::memcpy(&entry, value, sizeof entry);
    DWORD key = (entry << 16) | (entry >> 16);
    const std::string hex = FormatText("%08lx", static_cast<unsigned long>(key));

    for (int i = 0; i < VERSTR_COUNT; ++i) {
        std::string subBlock = std::string("\\StringFileInfo\\") + hex + "\\" + kValueNames[i];
        if (!block.Query(subBlock.c_str(), value, length))
            return FALSE;
        const char* text = static_cast<const char*>(value);
        out[i].assign(text, strnlen(text, length));
    }
    return TRUE;
}

FixedVersionResult ReadFixedVersion(const std::string& path, BYTE out[FIXED_VERSION_SIZE])
{
    CVersionBlock block(path);
    if (!block.IsLoaded())
        return block.IsOutOfMemory() ? FIXED_VERSION_NO_MEMORY : FIXED_VERSION_NONE;
    void* value;
    UINT length;
    if (!block.Query("\\", value, length) || length < FIXED_VERSION_SIZE) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return FIXED_VERSION_NONE;
    }
    std::memcpy(out, value, FIXED_VERSION_SIZE);
    return FIXED_VERSION_FOUND;
}

DWORD FindFileForInstall(DWORD flags, const std::string& fileName, const std::string& winDir,
                         const std::string& appDir)
{
    if (!g_findFileAnswers.empty()) {
        if (const auto* answer = FindAnswer(UpperPath(appDir + "\\" + fileName)))
            return answer->second;
    }
    // Where the file is and where it should go; the installer uses neither.
    char current[MAX_PATH];
    char recommended[MAX_PATH];
    UINT currentLength = MAX_PATH;
    UINT recommendedLength = MAX_PATH;
    return VerFindFileA(flags, const_cast<LPSTR>(fileName.c_str()), const_cast<LPSTR>(winDir.c_str()),
                        const_cast<LPSTR>(appDir.c_str()), current, &currentLength,
                        recommended, &recommendedLength);
}

void SetFindFileAnswer(const std::string& path, DWORD result)
{
    const std::string upperPath = UpperPath(path);
    if (auto* answer = FindAnswer(upperPath))
        answer->second = result;
    else
        g_findFileAnswers.emplace_back(upperPath, result);
}

void ClearFindFileAnswers() { g_findFileAnswers.clear(); }

#include "platform/version.h"

#include <cstdio>
#include <cstring>

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
};

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
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(key));

    for (int i = 0; i < VERSTR_COUNT; ++i) {
        std::string subBlock = std::string("\\StringFileInfo\\") + hex + "\\" + kValueNames[i];
        if (!block.Query(subBlock.c_str(), value, length))
            return FALSE;
        const char* text = static_cast<const char*>(value);
        out[i].assign(text, strnlen(text, length));
    }
    return TRUE;
}

BOOL ReadFixedVersion(const std::string& path, BYTE out[FIXED_VERSION_SIZE])
{
    CVersionBlock block(path);
    if (!block.IsLoaded())
        return FALSE;
    void* value;
    UINT length;
    if (!block.Query("\\", value, length) || length < FIXED_VERSION_SIZE) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return FALSE;
    }
    std::memcpy(out, value, FIXED_VERSION_SIZE);
    return TRUE;
}

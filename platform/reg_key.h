// Owner of an open registry key: closed when the owner goes. Predefined roots
// are never given to an owner, so a caller's root is never closed.
#pragma once

#include <windows.h>

class CRegKeyHandle {
public:
    CRegKeyHandle() = default;
    ~CRegKeyHandle()
    {
        if (m_hKey)
            RegCloseKey(m_hKey);
    }
    CRegKeyHandle(const CRegKeyHandle&) = delete;
    CRegKeyHandle& operator=(const CRegKeyHandle&) = delete;

    HKEY Get() const { return m_hKey; }
    // For the open and create calls, which fill the handle in.
    HKEY* Receive() { return &m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

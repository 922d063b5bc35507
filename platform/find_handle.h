// Owner of a directory search handle: the search is closed when the owner goes.
#pragma once

#include <windows.h>

class CFindHandle {
public:
    explicit CFindHandle(HANDLE handle) : m_hFind(handle) {}
    ~CFindHandle()
    {
        if (IsValid())
            FindClose(m_hFind);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    bool IsValid() const { return m_hFind != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hFind; }

private:
    HANDLE m_hFind;
};

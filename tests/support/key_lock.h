// A registry key that everybody may only use as named for the object's
// lifetime: a DACL, which Wine enforces, so that access denied is real.
// WRITE_DAC stays granted, so that the key can be opened up and removed again.
#pragma once

#include <string>

#include <windows.h>

class KeyLock {
public:
    KeyLock(HKEY root, const std::string& key, DWORD access);
    ~KeyLock();  // everybody has full access again
    KeyLock(const KeyLock&) = delete;
    KeyLock& operator=(const KeyLock&) = delete;

    // ERROR_SUCCESS when the key is locked.
    LONG Result() const { return m_result; }

private:
    HKEY m_root;
    std::string m_key;
    LONG m_result;
};

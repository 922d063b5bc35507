// The message box presenter of the real program: a modal MessageBoxA.
#pragma once

#include <windows.h>

#include "framework/message_box.h"

class CWin32MessageBox : public IMessageBoxPresenter {
public:
    explicit CWin32MessageBox(HWND hwndDefaultOwner = nullptr) : m_hwndDefaultOwner(hwndDefaultOwner) {}
    CWin32MessageBox(const CWin32MessageBox&) = delete;
    CWin32MessageBox& operator=(const CWin32MessageBox&) = delete;

    // The owner used while none of the thread's windows is active.
    void SetDefaultOwner(HWND hwnd) { m_hwndDefaultOwner = hwnd; }

    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;

private:
    HWND m_hwndDefaultOwner;
};

#include "framework/message_box_win32.h"

int CWin32MessageBox::Show(const char* pszCaption, const std::string& strText, UINT nStyle)
{
    // The active window (the copy-progress or read-only dialog while one is up)
    // owns the box, so that it cannot be used while the question is open.
    HWND hwndOwner = GetActiveWindow();
    if (hwndOwner == nullptr)
        hwndOwner = m_hwndDefaultOwner;
    return MessageBoxA(hwndOwner, strText.c_str(), pszCaption, nStyle);
}

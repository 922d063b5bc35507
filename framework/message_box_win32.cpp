#include "framework/message_box_win32.h"

#include "framework/main_window.h"

int CWin32MessageBox::Show(const char* pszCaption, const std::string& strText, UINT nStyle)
{
    // The active window (the copy-progress or read-only dialog while one is up)
    // owns the box, so that it cannot be used while the question is open;
    // while another program is active, the main window's dialog does.
    HWND hwndOwner = GetActiveWindow();
    if (hwndOwner == nullptr)
        hwndOwner = GetDefaultOwner();
    return MessageBoxA(hwndOwner, strText.c_str(), pszCaption, nStyle);
}

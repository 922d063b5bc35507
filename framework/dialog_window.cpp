#include "framework/dialog_window.h"

std::string CDialogWindow::GetItemText(int nId) const
{
    HWND hwndItem = GetItem(nId);
    if (hwndItem == nullptr)
        return std::string();
    std::string strText(static_cast<size_t>(GetWindowTextLengthA(hwndItem)) + 1, '\0');
    const int nLength = GetWindowTextA(hwndItem, &strText[0], static_cast<int>(strText.size()));
    strText.resize(nLength > 0 ? static_cast<size_t>(nLength) : 0);
    return strText;
}

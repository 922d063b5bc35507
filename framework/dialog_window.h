// What dialogs and property pages share: the window handle and the reading
// and writing of their controls by id.
#pragma once

#include <windows.h>

#include <string>

class CDialogWindow {
public:
    CDialogWindow() = default;
    virtual ~CDialogWindow() = default;
    CDialogWindow(const CDialogWindow&) = delete;
    CDialogWindow& operator=(const CDialogWindow&) = delete;

    HWND GetHandle() const { return m_hwnd; }
    HWND GetItem(int nId) const { return GetDlgItem(m_hwnd, nId); }
    void SetItemText(int nId, const std::string& strText) const { SetDlgItemTextA(m_hwnd, nId, strText.c_str()); }
    std::string GetItemText(int nId) const;
    LRESULT SendItemMessage(int nId, UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendDlgItemMessageA(m_hwnd, nId, nMsg, wParam, lParam);
    }

protected:
    HWND m_hwnd = nullptr;
};

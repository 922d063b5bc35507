// The life that the status popup and the "Copying Files" dialog share: while
// the window exists its owner is disabled, and it is enabled again only if
// this display was the one that disabled it.
#pragma once

#include <string>

#include "framework/dialog.h"

class CModelessDisplayDlg : public CDialog {
public:
    explicit CModelessDisplayDlg(UINT nTemplate) : CDialog(nTemplate) {}
    ~CModelessDisplayDlg() override { DestroyDisplay(); }

protected:
    // Disables the owner (the window, or the first non-child above it) when
    // it is enabled, then creates the window; FALSE when creation failed.
    BOOL CreateDisplay(HWND hwndParent);
    // Re-enables the owner that CreateDisplay disabled, then destroys the window.
    void DestroyDisplay();
    void SetText(const std::string& strText) { SetItemText(IDC_TEXT, strText); }
    // Centres the window over its owner, or over the work area while the owner is hidden.
    BOOL OnInitDialog() override;

private:
    static const int IDC_TEXT = 1005;
    HWND m_hwndOwner = nullptr;
    BOOL m_bOwnerDisabled = FALSE;
};

#include "app/read_only_dlg.h"

#include "framework/gdi.h"
#include "framework/window_placement.h"
#include "platform/path.h"
#include "res/resource.h"

CReadOnlyDlg::CReadOnlyDlg() : CDialog(IDD_READ_ONLY) {}

BOOL CReadOnlyDlg::OnInitDialog()
{
    SetItemText(IDC_READ_ONLY_TEXT, FittingText());
    CheckDlgButton(GetHandle(), IDC_DONT_SHOW_AGAIN, m_nDontShowAgain ? BST_CHECKED : BST_UNCHECKED);
    CentreOnOwner(GetHandle());
    // The default button takes the focus: on the check box, one press of
    // Space would let every later read-only file be overwritten unasked.
    SendMessageA(GetHandle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDOK)), TRUE);
    return FALSE;
}

std::string CReadOnlyDlg::FittingText() const
{
    HWND hwndText = GetItem(IDC_READ_ONLY_TEXT);
    RECT rcText;
    GetClientRect(hwndText, &rcText);
    CClientDC dc(hwndText);
    CSelectObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(hwndText, WM_GETFONT, 0, 0)));
    for (std::string::size_type n = m_strFileName.size(); n > 0; --n) {
        const std::string strLine = ShortenPathInMiddle(m_strFileName, n) + ".";
        SIZE size;
        if (GetTextExtentPoint32A(dc.Get(), strLine.c_str(), static_cast<int>(strLine.size()), &size) &&
            size.cx <= rcText.right)
            return GetText(n);
    }
    return GetText(0);
}

void CReadOnlyDlg::OnCommand(int nId, int nCode)
{
    if (nId == IDC_DONT_SHOW_AGAIN) {
        if (nCode == BN_CLICKED)
            OnDontShowAgainClicked(IsDlgButtonChecked(GetHandle(), IDC_DONT_SHOW_AGAIN) == BST_CHECKED);
        return;
    }
    const INT_PTR nResult = CReadOnlyPrompt::OnCommand(nId);
    if (nResult != 0)
        EndDialog(nResult);
}

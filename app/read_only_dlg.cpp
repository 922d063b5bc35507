#include "app/read_only_dlg.h"

#include "res/resource.h"

CReadOnlyDlg::CReadOnlyDlg() : CDialog(IDD_READ_ONLY) {}

BOOL CReadOnlyDlg::OnInitDialog()
{
    SetItemText(IDC_READ_ONLY_TEXT, GetText());
    CheckDlgButton(GetHandle(), IDC_DONT_SHOW_AGAIN, m_nDontShowAgain ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
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

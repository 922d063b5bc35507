#include "uninstall/shared_file_dlg.h"

#include "uninstall/removal_texts.h"
#include "uninstall/resource.h"

CSharedFileDlg::CSharedFileDlg() : CDialog(IDD_SHARED_FILE) {}

SharedAnswer CSharedFileDlg::AskRemoveSharedFile(const std::string& strPath)
{
    m_strPath = strPath;
    switch (DoModal()) {
    case IDYES:
        return SHARED_REMOVE;
    case IDC_YES_TO_ALL:
        return SHARED_REMOVE_ALL;
    case IDC_NO_TO_ALL:
        return SHARED_KEEP_ALL;
    default:
        return SHARED_KEEP;
    }
}

BOOL CSharedFileDlg::OnInitDialog()
{
    SetItemText(IDC_SHARED_TEXT, SharedFileText(m_strPath));
    // The safe answer has the focus, so that Space or Enter keeps the file.
    SetFocus(GetItem(IDNO));
    return FALSE;
}

void CSharedFileDlg::OnCommand(int nId, int)
{
    switch (nId) {
    case IDYES:
    case IDNO:
    case IDC_YES_TO_ALL:
    case IDC_NO_TO_ALL:
        EndDialog(nId);
        break;
    case IDCANCEL:
        EndDialog(IDNO);
        break;
    }
}

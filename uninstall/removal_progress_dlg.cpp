#include "uninstall/removal_progress_dlg.h"

#include <commctrl.h>

#include "uninstall/resource.h"

CRemovalProgressDlg::CRemovalProgressDlg() : CDialog(IDD_REMOVE_PROGRESS) {}

BOOL CRemovalProgressDlg::OnInitDialog()
{
    SendItemMessage(IDC_PROGRESS, PBM_SETRANGE32, 0, 100);
    SetTimer(GetHandle(), UPDATE_TIMER, UPDATE_INTERVAL_MS, nullptr);
    return TRUE;
}

// Nothing ends the display but the removal.
void CRemovalProgressDlg::OnCommand(int, int) {}

void CRemovalProgressDlg::ShowProgress(const std::string& strName, int nPercent)
{
    m_strName = strName;
    m_nPercent = nPercent;
    m_pump.Pump(GetHandle());
    // The last position shows at once: the display goes right after it.
    if (nPercent >= 100)
        Update();
}

BOOL CRemovalProgressDlg::OnMessage(UINT nMsg, WPARAM wParam, LPARAM, LRESULT&)
{
    if (nMsg != WM_TIMER || wParam != UPDATE_TIMER)
        return FALSE;
    Update();
    return TRUE;
}

void CRemovalProgressDlg::Update()
{
    if (m_strShownName != m_strName) {
        SetItemText(IDC_STATUS_TEXT, m_strName);
        m_strShownName = m_strName;
    }
    if (m_nShownPercent != m_nPercent) {
        SendItemMessage(IDC_PROGRESS, PBM_SETPOS, m_nPercent);
        m_nShownPercent = m_nPercent;
    }
}

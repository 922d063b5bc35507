#include "app/copy_progress_dlg.h"

#include <commctrl.h>

#include "res/resource.h"

CCopyProgressDlg::CCopyProgressDlg() : CModelessDisplayDlg(IDD_COPY_PROGRESS) {}

BOOL CCopyProgressDlg::Create(WindowHandle hwndOwner)
{
    m_bCancel = FALSE;
    return CreateDisplay(hwndOwner);
}

BOOL CCopyProgressDlg::OnInitDialog()
{
    CModelessDisplayDlg::OnInitDialog();
    SendItemMessage(IDC_PROGRESS, PBM_SETRANGE32, m_nLower, m_nUpper);
    SendItemMessage(IDC_PROGRESS, PBM_SETSTEP, m_nStep);
    SendItemMessage(IDC_PROGRESS, PBM_SETPOS, m_nLower);
    m_nPos = m_nShownPos = m_nLower;
    SetTimer(GetHandle(), BAR_TIMER, BAR_INTERVAL_MS, nullptr);
    return TRUE;
}

void CCopyProgressDlg::OnCommand(int nId, int)
{
    // Cancel (button, Escape, close box) only asks; the callback decides.
    // OK (Enter) does nothing.
    if (nId == IDCANCEL)
        m_bCancel = TRUE;
}

void CCopyProgressDlg::SetStatusText(const std::string& strText)
{
    SetText(strText);
}

BOOL CCopyProgressDlg::CheckCancel()
{
    PumpMessages();
    const BOOL bCancel = m_bCancel;
    m_bCancel = FALSE;
    return bCancel;
}

int CCopyProgressDlg::SetProgressPos(int nPos)
{
    PumpMessages();
    const int nPrevious = m_nPos;
    m_nPos = nPos;
    return static_cast<WORD>(nPrevious);
}

BOOL CCopyProgressDlg::OnMessage(UINT nMsg, WPARAM wParam, LPARAM, LRESULT&)
{
    if (nMsg != WM_TIMER || wParam != BAR_TIMER)
        return FALSE;
    if (m_nShownPos != m_nPos) {
        SendItemMessage(IDC_PROGRESS, PBM_SETPOS, m_nPos);
        m_nShownPos = m_nPos;
    }
    return TRUE;
}

void CCopyProgressDlg::Activate()
{
    if (GetHandle() != nullptr)
        SetActiveWindow(GetHandle());
}

#include "app/single_instance_dlg.h"

#include "app/setup_instance.h"

CSingleInstanceDlg::CSingleInstanceDlg(UINT nTemplate, DWORD dwProductId)
    : CDialog(nTemplate), m_nMessage(AnnouncementMessage()), m_dwProductId(dwProductId)
{
}

LRESULT CSingleInstanceDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == m_nMessage && m_nMessage != 0 && wParam != 0 && static_cast<DWORD>(lParam) == m_dwProductId)
        ComeForward();
    return DefaultWindowProc(nMsg, wParam, lParam);
}

// The wizard page or the box that is open comes forward, not the background.
void CSingleInstanceDlg::ComeForward()
{
    HWND hwndPopup = GetLastActivePopup(GetHandle());
    if (IsIconic(GetHandle()))
        ShowWindow(GetHandle(), SW_RESTORE);
    SetForegroundWindow(hwndPopup);
}

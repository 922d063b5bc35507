#include "app/single_instance_dlg.h"

UINT CSingleInstanceDlg::s_nMessage = 0;

CSingleInstanceDlg::CSingleInstanceDlg(UINT nTemplate) : CDialog(nTemplate)
{
    if (s_nMessage == 0)
        s_nMessage = RegisterWindowMessageA("MessageCode");
}

LRESULT CSingleInstanceDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == WM_CREATE)
        return OnCreate(lParam);
    if (nMsg == s_nMessage && s_nMessage != 0)
        OnAnnouncement(wParam, lParam);
    return DefaultWindowProc(nMsg, wParam, lParam);
}

LRESULT CSingleInstanceDlg::OnCreate(LPARAM lParam)
{
    if (DefaultWindowProc(WM_CREATE, 0, lParam) == -1)
        return -1;
    m_bAlone = TRUE;
    // A plain broadcast send waits for every top-level window, so one hung
    // program would hang this start for good. Hung windows are skipped, and
    // a window that takes too long is given up on.
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(HWND_BROADCAST, s_nMessage, 1, reinterpret_cast<LPARAM>(GetHandle()),
                        SMTO_ABORTIFHUNG | SMTO_NORMAL, ANNOUNCE_TIMEOUT_MS, &dwResult);
    return m_bAlone ? 0 : -1;
}

void CSingleInstanceDlg::OnAnnouncement(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0) {
        m_bAlone = FALSE;  // a running copy answered
        m_bAnswered = TRUE;
        return;
    }
    HWND hwndStarting = reinterpret_cast<HWND>(lParam);
    if (hwndStarting == GetHandle())
        return;
    HWND hwndPopup = GetLastActivePopup(GetHandle());
    if (IsIconic(GetHandle()))
        ShowWindow(GetHandle(), SW_RESTORE);
    SetForegroundWindow(hwndPopup);
    // The starting copy waits inside its announcement and takes this answer there.
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hwndStarting, s_nMessage, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL, ANNOUNCE_TIMEOUT_MS, &dwResult);
}

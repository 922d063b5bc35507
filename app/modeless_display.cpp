#include "app/modeless_display.h"

namespace {
HWND TopLevelOf(HWND hwnd)
{
    while (hwnd != nullptr && (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) != 0)
        hwnd = GetParent(hwnd);
    return hwnd;
}
}  // namespace

BOOL CModelessDisplayDlg::CreateDisplay(HWND hwndParent)
{
    if (GetHandle() != nullptr)
        DestroyDisplay();
    m_hwndOwner = TopLevelOf(hwndParent);
    if (m_hwndOwner != nullptr && IsWindowEnabled(m_hwndOwner)) {
        EnableWindow(m_hwndOwner, FALSE);
        m_bOwnerDisabled = TRUE;
    }
    if (CreateModeless(hwndParent))
        return TRUE;
    if (m_bOwnerDisabled)
        EnableWindow(m_hwndOwner, TRUE);
    m_bOwnerDisabled = FALSE;
    return FALSE;
}

void CModelessDisplayDlg::DestroyDisplay()
{
    if (m_bOwnerDisabled)
        EnableWindow(m_hwndOwner, TRUE);
    m_bOwnerDisabled = FALSE;
    DestroyWindow();
}

BOOL CModelessDisplayDlg::OnInitDialog()
{
    RECT rcArea;
    if (m_hwndOwner != nullptr && IsWindowVisible(m_hwndOwner) && !IsIconic(m_hwndOwner))
        GetWindowRect(m_hwndOwner, &rcArea);
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
    RECT rcSelf;
    GetWindowRect(GetHandle(), &rcSelf);
    const int cx = rcSelf.right - rcSelf.left;
    const int cy = rcSelf.bottom - rcSelf.top;
    SetWindowPos(GetHandle(), nullptr, rcArea.left + (rcArea.right - rcArea.left - cx) / 2,
                 rcArea.top + (rcArea.bottom - rcArea.top - cy) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

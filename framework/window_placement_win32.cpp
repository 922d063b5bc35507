#include "framework/window_placement.h"

void CentreOnOwner(HWND hwnd)
{
    HWND hwndOwner = GetWindow(hwnd, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT rcWindow, rcOwner;
    if (!GetMonitorInfoA(MonitorFromWindow(hwndOwner ? hwndOwner : hwnd, MONITOR_DEFAULTTONEAREST), &monitor) ||
        !GetWindowRect(hwnd, &rcWindow))
        return;
    if (!hwndOwner || !GetWindowRect(hwndOwner, &rcOwner))
        rcOwner = monitor.rcWork;
    const POINT pt = CentredPosition(rcOwner, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top,
                                     monitor.rcWork);
    SetWindowPos(hwnd, nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

#include "framework/main_window.h"

namespace {
HWND g_hwndMain = nullptr;
}  // namespace

void SetMainWindow(HWND hwnd)
{
    g_hwndMain = hwnd;
}

HWND GetDefaultOwner()
{
    if (g_hwndMain == nullptr || !IsWindow(g_hwndMain))
        return nullptr;
    return GetLastActivePopup(g_hwndMain);
}

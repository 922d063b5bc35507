#include "app/setup_window.h"

namespace {
ISetupWindow* g_pMainWindow = nullptr;
}

ISetupWindow* GetMainSetupWindow() { return g_pMainWindow; }

ISetupWindow* SetMainSetupWindow(ISetupWindow* pWindow)
{
    ISetupWindow* pPrevious = g_pMainWindow;
    g_pMainWindow = pWindow;
    return pPrevious;
}

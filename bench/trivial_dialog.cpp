// The yardstick for Setup.exe's start: the least dialog program, one empty
// dialog from a template, shown until it is closed.
#include <windows.h>

namespace {
INT_PTR CALLBACK Proc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM)
{
    if (nMsg == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
        EndDialog(hwnd, 0);
    return nMsg == WM_INITDIALOG;
}
}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return static_cast<int>(DialogBoxParamA(hInstance, MAKEINTRESOURCEA(1), nullptr, Proc, 0));
}

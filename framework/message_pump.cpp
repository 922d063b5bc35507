#include "framework/message_pump.h"

namespace {
LONGLONG Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}
}  // namespace

CMessagePump::CMessagePump(UINT nIntervalMs)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    m_llInterval = frequency.QuadPart * nIntervalMs / 1000;
}

void CMessagePump::Pump(HWND hwndDialog)
{
    if (Now() < m_llNextLook)
        return;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Not ours to take: the loop that waits for it must still see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (hwndDialog != nullptr && IsDialogMessageA(hwndDialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    m_llNextLook = Now() + m_llInterval;
}

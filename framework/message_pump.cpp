#include "framework/message_pump.h"

void CMessagePump::Pump(HWND hwndDialog)
{
    if (!m_interval.Elapsed())
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
}

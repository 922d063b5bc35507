// The real message box under Wine: a helper thread reads the box that the
// presenter opened and answers it, as a user would.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/message_box_win32.h"

namespace {

struct SeenBox {
    std::string strText;
    bool bYesNoOnly = false;  // the buttons that style 292 asks for, and no OK
};

DWORD WINAPI AnswerBox(void* pParam)
{
    SeenBox* pSeen = static_cast<SeenBox*>(pParam);
    for (int nTry = 0; nTry < 500; ++nTry) {
        // The box exists before its initialisation has filled it in; it is
        // complete once it shows.
        HWND hwndBox = FindWindowA("#32770", "Setup");
        if (hwndBox != nullptr && IsWindowVisible(hwndBox)) {
            char szText[256] = "";
            GetDlgItemTextA(hwndBox, 0xFFFF, szText, sizeof szText);
            pSeen->strText = szText;
            pSeen->bYesNoOnly = GetDlgItem(hwndBox, IDYES) != nullptr && GetDlgItem(hwndBox, IDNO) != nullptr &&
                                GetDlgItem(hwndBox, IDOK) == nullptr;
            PostMessageA(hwndBox, WM_COMMAND, IDNO, 0);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

TEST(Win32MessageBox, ShowsTextUnderTheCaptionAndReturnsTheButton)
{
    CWin32MessageBox presenter;
    SeenBox seen;
    HANDLE hThread = CreateThread(nullptr, 0, AnswerBox, &seen, 0, nullptr);
    ASSERT_NE(hThread, nullptr);
    const int nAnswer = presenter.Show("Setup", "Do you really want to quit Setup ?", 292);
    WaitForSingleObject(hThread, INFINITE);
    DWORD dwExit = 1;
    GetExitCodeThread(hThread, &dwExit);
    CloseHandle(hThread);
    EXPECT_EQ(dwExit, 0u) << "no box captioned Setup appeared";
    EXPECT_EQ(nAnswer, IDNO);
    EXPECT_EQ(seen.strText, "Do you really want to quit Setup ?");
    EXPECT_TRUE(seen.bYesNoOnly);
}

}  // namespace
#endif

#include "tests/gui/window_test_support.h"

#include <commctrl.h>

#include <atomic>
#include <thread>

SpyMessageBoxes::SpyMessageBoxes() : m_pPrevious(SetMessageBoxPresenter(this)) {}

SpyMessageBoxes::~SpyMessageBoxes()
{
    SetMessageBoxPresenter(m_pPrevious);
}

int SpyMessageBoxes::Show(const char* pszCaption, const std::string& strText, UINT nStyle)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_shown.emplace_back(strText, nStyle);
    }
    return m_real.Show(pszCaption, strText, nStyle);
}

UINT SpyMessageBoxes::StyleOf(const std::string& strText)
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (auto it = m_shown.rbegin(); it != m_shown.rend(); ++it)
        if (it->first == strText)
            return it->second;
    return 0;
}

size_t SpyMessageBoxes::Count()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_shown.size();
}

HWND WaitForOwnWindow(const std::function<bool(HWND)>& match)
{
    return gui::WaitForWindowIf([&](HWND hwnd) {
        DWORD dwProcess = 0;
        GetWindowThreadProcessId(hwnd, &dwProcess);
        return dwProcess == GetCurrentProcessId() && match(hwnd);
    });
}

HWND WaitForSheet()
{
    return WaitForOwnWindow([](HWND hwnd) { return GetDlgItem(hwnd, 0x3024) != nullptr; });
}

INT_PTR RunDriven(const std::function<INT_PTR()>& modal, const std::function<void()>& drive)
{
    std::atomic<bool> bDone(false);
    std::thread driver([&] {
        drive();
        // Whatever is still open is closed, and every question answered Yes.
        while (!bDone) {
            HWND hwnd = gui::WaitForWindowIf(
                [](HWND h) {
                    DWORD dwProcess = 0;
                    GetWindowThreadProcessId(h, &dwProcess);
                    return dwProcess == GetCurrentProcessId();
                },
                200);
            if (hwnd != nullptr) {
                if (GetDlgItem(hwnd, 0x3024) != nullptr)
                    PostMessageA(hwnd, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
                else
                    PostMessageA(hwnd, WM_COMMAND, GetDlgItem(hwnd, IDYES) != nullptr ? IDYES : IDCANCEL, 0);
            }
            Sleep(100);
        }
    });
    const INT_PTR nResult = modal();
    bDone = true;
    driver.join();
    return nResult;
}

std::string ScreenshotPath(const std::string& strName)
{
    CreateDirectoryA("screenshots", nullptr);
    return "screenshots\\" + strName + ".png";
}

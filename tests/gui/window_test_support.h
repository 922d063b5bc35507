// What the in-process window tests share: a driver thread that works the
// windows while the test's thread runs them modally, message boxes that are
// real but whose styles are recorded, and the screenshot folder.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "framework/message_box_win32.h"
#include "tests/gui/gui_driver.h"

// Shows every box for real and records its text and style.
class SpyMessageBoxes : public IMessageBoxPresenter {
public:
    SpyMessageBoxes();
    ~SpyMessageBoxes() override;
    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;
    // The style of the last box shown with strText, 0 when none was.
    UINT StyleOf(const std::string& strText);
    size_t Count();

private:
    CWin32MessageBox m_real;
    IMessageBoxPresenter* m_pPrevious;
    std::mutex m_lock;
    std::vector<std::pair<std::string, UINT>> m_shown;
};

// Runs modal() on this thread and drive() on a second one. When drive()
// returns with the modal loop still running (a failed expectation), the
// windows are closed and quitting is confirmed until modal() returns.
INT_PTR RunDriven(const std::function<INT_PTR()>& modal, const std::function<void()>& drive);

// A visible top-level window of this process that satisfies match.
HWND WaitForOwnWindow(const std::function<bool(HWND)>& match);
// The wizard sheet of this process.
HWND WaitForSheet();

// PNG files kept as test artefacts, in "screenshots" below the test's folder.
std::string ScreenshotPath(const std::string& strName);

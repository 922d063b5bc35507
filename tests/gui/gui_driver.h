// A small driver for the program's real windows, as a user would work them:
// find windows by class, caption and control id, read texts, styles and
// states, press buttons, answer message boxes, take screenshots. It works on
// windows of its own process (from another thread) and of other processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace gui {

const DWORD WAIT_MS = 10000;

// The first visible top-level window that matches, waiting up to dwTimeout;
// nullptr when none came. A null class or caption matches any.
HWND WaitForWindow(const char* pszClass, const char* pszCaption, DWORD dwTimeout = WAIT_MS);
HWND WaitForWindowIf(const std::function<bool(HWND)>& match, DWORD dwTimeout = WAIT_MS);
// TRUE when hwnd is gone (or hidden) within dwTimeout.
bool WaitGone(HWND hwnd, DWORD dwTimeout = WAIT_MS);
// Waits until pred holds; false when it did not within dwTimeout.
bool WaitUntil(const std::function<bool()>& pred, DWORD dwTimeout = WAIT_MS);

std::string Text(HWND hwnd);
std::string ItemText(HWND hwndDialog, int nId);
std::string ClassOf(HWND hwnd);
LONG Style(HWND hwndDialog, int nId);
bool IsItemEnabled(HWND hwndDialog, int nId);
bool IsItemVisible(HWND hwndDialog, int nId);

// Presses a button by posting its click: the window may open a modal loop.
void Press(HWND hwndDialog, int nId);
// Types a text into an edit control (its change notification follows).
void SetItemText(HWND hwndDialog, int nId, const std::string& strText);
// Selects a combo or list box entry and notifies the dialog, as a click does.
void Choose(HWND hwndDialog, int nId, int nIndex);

// A message box of the program: its text and the buttons it offers.
struct Box {
    HWND hwnd = nullptr;
    std::string strText;
    // MB_OK, MB_OKCANCEL, MB_YESNO, MB_RETRYCANCEL from the buttons present.
    UINT nButtons = 0;
    // The icon's style bits, read from the box's icon (0 when none shows).
    UINT nIcon = 0;
    // The id of the default button.
    int nDefault = 0;
    explicit operator bool() const { return hwnd != nullptr; }
};
// Waits for a visible box titled pszCaption that holds a text.
Box WaitForBox(const char* pszCaption = "Setup", DWORD dwTimeout = WAIT_MS);
// Answers it (IDOK, IDYES, ...) and waits until it has gone.
void Answer(const Box& box, int nButton);

// The property sheet's wizard buttons: PSWIZB_* flags of the enabled ones
// (Back 1, Next 2, Finish 4 when enabled; 8 when Finish shows disabled).
DWORD WizardButtons(HWND hwndSheet);
// The sheet's current page.
HWND CurrentPage(HWND hwndSheet);

// Writes what the screen shows of hwnd as a PNG file (24-bit, uncompressed).
bool SaveScreenshot(HWND hwnd, const std::string& strPath);
// The colour of a client pixel of hwnd, as the screen shows it.
COLORREF ScreenPixel(HWND hwnd, int x, int y);

}  // namespace gui

// A small driver for the program's real windows, as a user would work them:
// find windows by class, caption and control id, read texts, styles and
// states, press buttons, answer message boxes, take screenshots. It works on
// windows of its own process (from another thread) and of other processes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

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

// A control's text, asked of the control (WM_GETTEXT, so also another process's).
std::string Text(HWND hwnd);
// A top-level window's caption as the system keeps it: nothing is sent to a
// window of another process, which may be busy and would answer late.
std::string Caption(HWND hwnd);
std::string ItemText(HWND hwndDialog, int nId);
std::string ClassOf(HWND hwnd);
LONG Style(HWND hwndDialog, int nId);
bool IsItemEnabled(HWND hwndDialog, int nId);
bool IsItemVisible(HWND hwndDialog, int nId);

// The window that has the keyboard focus in hwnd's thread (also in another
// process), nullptr when none has.
HWND Focus(HWND hwnd);
// hwnd's window rectangle on the screen.
RECT WindowRect(HWND hwnd);
// Where the program puts a window of hwnd's size centred on hwndOwner
// within the work area of hwndOwner's screen: its top-left corner.
POINT CentredPlace(HWND hwnd, HWND hwndOwner);

// The numbers (from 0) of the lines of a multi-line edit that run past its
// right edge; read by messages without pointers, so also from another process.
std::vector<int> LinesPastTheEdge(HWND hwndEdit);

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
    // The icon's style bits (MB_ICONQUESTION, ...), recognised by the
    // picture the box shows; 0 when it shows none of the system's four.
    UINT nIcon = 0;
    // The id of the default button, 0 when none is drawn as it.
    int nDefault = 0;
    explicit operator bool() const { return hwnd != nullptr; }
};
// TRUE when hwnd is a message box that shows its text.
bool IsBox(HWND hwnd);
// hwnd read as a message box; an empty Box when it is none.
Box ReadBox(HWND hwnd);
// Waits for a visible box titled pszCaption that holds a text.
Box WaitForBox(const char* pszCaption = "Setup", DWORD dwTimeout = WAIT_MS);
// The icon style bits of the icon that box hwndBox shows, 0 for none.
UINT BoxIcon(HWND hwndBox);
// Answers it (IDOK, IDYES, ...) and waits until it has gone.
void Answer(const Box& box, int nButton);

// The property sheet's wizard buttons: PSWIZB_* flags of the enabled ones
// (Back 1, Next 2, Finish 4 when enabled; 8 when Finish shows disabled).
DWORD WizardButtons(HWND hwndSheet);
// The sheet's current page.
HWND CurrentPage(HWND hwndSheet);

// What the screen shows of a rectangle: its pixels row by row from the top,
// each as RGB(r, g, b).
struct Image {
    int cx = 0;
    int cy = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * cx + x]; }
};
// hwnd's window, or its client area, as the screen shows it now.
Image Capture(HWND hwnd, bool bClientOnly = false);
// The same once two captures in a row agree, so that a window that has just
// appeared is shown painted (the last capture after dwTimeout otherwise).
Image CaptureSettled(HWND hwnd, bool bClientOnly = false, DWORD dwTimeout = 2000);
// Writes an image as a PNG file (24-bit, uncompressed).
bool SavePng(const Image& image, const std::string& strPath);
// A settled capture of hwnd's window written as a PNG file.
bool SaveScreenshot(HWND hwnd, const std::string& strPath);

}  // namespace gui

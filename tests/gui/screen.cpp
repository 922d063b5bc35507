// What the screen shows: captures of windows, and the icon a message box shows.
#include "tests/gui/gui_driver.h"

#include <cstdlib>

namespace gui {

namespace {

// The screen's pixels in a rectangle given in screen coordinates, cut to
// the screen: a maximised window's frame lies beyond its edges, and a copy
// from outside the screen copies nothing at all.
Image CaptureRect(RECT rc)
{
    const RECT rcScreen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&rc, &rc, &rcScreen);
    Image image;
    image.cx = rc.right - rc.left;
    image.cy = rc.bottom - rc.top;
    if (image.cx <= 0 || image.cy <= 0)
        return Image();
    HDC hdcScreen = GetDC(nullptr);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = image.cx;
    bi.bmiHeader.biHeight = -image.cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hbm = CreateDIBSection(hdcScreen, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hdcMem, hbm);
    BitBlt(hdcMem, 0, 0, image.cx, image.cy, hdcScreen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    const unsigned char* p = static_cast<const unsigned char*>(pBits);
    image.pixels.reserve(static_cast<size_t>(image.cx) * image.cy);
    for (size_t i = 0; i < static_cast<size_t>(image.cx) * image.cy; ++i)
        image.pixels.push_back(RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]));
    SelectObject(hdcMem, hOld);
    DeleteObject(hbm);
    DeleteDC(hdcMem);
    ReleaseDC(nullptr, hdcScreen);
    return image;
}

// A system icon drawn as a static control of size cx by cy draws it, over colour.
Image DrawnIcon(LPCSTR pszIcon, int cx, int cy, COLORREF colour)
{
    Image image;
    image.cx = cx;
    image.cy = cy;
    HDC hdcScreen = GetDC(nullptr);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    HBITMAP hbm = CreateCompatibleBitmap(hdcScreen, cx, cy);
    HGDIOBJ hOld = SelectObject(hdcMem, hbm);
    HBRUSH hbr = CreateSolidBrush(colour);
    const RECT rc = {0, 0, cx, cy};
    FillRect(hdcMem, &rc, hbr);
    DeleteObject(hbr);
    DrawIconEx(hdcMem, 0, 0, LoadIconA(nullptr, pszIcon), cx, cy, 0, nullptr, DI_NORMAL);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            image.pixels.push_back(GetPixel(hdcMem, x, y));
    SelectObject(hdcMem, hOld);
    DeleteObject(hbm);
    DeleteDC(hdcMem);
    ReleaseDC(nullptr, hdcScreen);
    return image;
}

BOOL CALLBACK FindIconStatic(HWND hwnd, LPARAM lParam)
{
    if ((GetWindowLongPtrA(hwnd, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

Image Capture(HWND hwnd, bool bClientOnly)
{
    RECT rc;
    if (bClientOnly) {
        if (!GetClientRect(hwnd, &rc))
            return Image();
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    } else if (!GetWindowRect(hwnd, &rc)) {
        return Image();
    }
    return CaptureRect(rc);
}

Image CaptureSettled(HWND hwnd, bool bClientOnly, DWORD dwTimeout)
{
    Image last = Capture(hwnd, bClientOnly);
    const DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwTimeout) {
        Sleep(50);
        Image next = Capture(hwnd, bClientOnly);
        const bool bSame = next.cx == last.cx && next.cy == last.cy && next.pixels == last.pixels;
        last = std::move(next);
        if (bSame)
            break;
    }
    return last;
}

bool SaveScreenshot(HWND hwnd, const std::string& strPath)
{
    return SavePng(CaptureSettled(hwnd), strPath);
}

UINT BoxIcon(HWND hwndBox)
{
    HWND hwndIcon = nullptr;
    EnumChildWindows(hwndBox, FindIconStatic, reinterpret_cast<LPARAM>(&hwndIcon));
    if (hwndIcon == nullptr)
        return 0;
    const Image shown = CaptureSettled(hwndIcon, true, 500);
    if (shown.pixels.empty())
        return 0;
    // The box's own background, just left of the icon.
    RECT rc;
    GetWindowRect(hwndIcon, &rc);
    const RECT rcLeft = {rc.left - 1, rc.top, rc.left, rc.top + 1};
    const Image background = CaptureRect(rcLeft);
    const COLORREF colour = background.pixels.empty() ? GetSysColor(COLOR_3DFACE) : background.pixels[0];
    const struct {
        LPCSTR pszIcon;
        UINT nStyle;
    } ICONS[] = {{IDI_HAND, MB_ICONHAND},
                 {IDI_QUESTION, MB_ICONQUESTION},
                 {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                 {IDI_ASTERISK, MB_ICONASTERISK}};
    UINT nBest = 0;
    size_t nFewest = shown.pixels.size() / 10 + 1;  // at most a tenth may differ
    for (const auto& icon : ICONS) {
        const Image drawn = DrawnIcon(icon.pszIcon, shown.cx, shown.cy, colour);
        size_t nDiffer = 0;
        for (size_t i = 0; i < shown.pixels.size(); ++i)
            nDiffer += shown.pixels[i] != drawn.pixels[i];
        if (nDiffer < nFewest) {
            nFewest = nDiffer;
            nBest = icon.nStyle;
        }
    }
    return nBest;
}

}  // namespace gui

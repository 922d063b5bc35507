#include "tests/gui/gui_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

namespace gui {

namespace {

struct Search {
    const std::function<bool(HWND)>* pMatch;
    HWND hwndFound;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lParam)
{
    Search* pSearch = reinterpret_cast<Search*>(lParam);
    if (IsWindowVisible(hwnd) && (*pSearch->pMatch)(hwnd)) {
        pSearch->hwndFound = hwnd;
        return FALSE;
    }
    return TRUE;
}

// ---- PNG: zlib stored blocks, so no compressor is needed ----
void PutBE32(std::vector<unsigned char>& out, unsigned long v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

unsigned long Crc32(const unsigned char* p, size_t n)
{
    unsigned long crc = 0xFFFFFFFFul;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320ul & (0ul - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFul;
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    PutBE32(out, data.size());
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBE32(out, Crc32(body.data(), body.size()));
}

std::vector<unsigned char> Deflated(const std::vector<unsigned char>& raw)
{
    std::vector<unsigned char> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<unsigned char>(n));
        z.push_back(static_cast<unsigned char>(n >> 8));
        z.push_back(static_cast<unsigned char>(~n));
        z.push_back(static_cast<unsigned char>(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    unsigned long a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);
    return z;
}

}  // namespace

HWND WaitForWindowIf(const std::function<bool(HWND)>& match, DWORD dwTimeout)
{
    const DWORD dwStart = GetTickCount();
    do {
        Search search = {&match, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.hwndFound != nullptr)
            return search.hwndFound;
        Sleep(20);
    } while (GetTickCount() - dwStart < dwTimeout);
    return nullptr;
}

HWND WaitForWindow(const char* pszClass, const char* pszCaption, DWORD dwTimeout)
{
    return WaitForWindowIf(
        [&](HWND hwnd) {
            return (pszClass == nullptr || ClassOf(hwnd) == pszClass) &&
                   (pszCaption == nullptr || Text(hwnd) == pszCaption);
        },
        dwTimeout);
}

bool WaitUntil(const std::function<bool()>& pred, DWORD dwTimeout)
{
    const DWORD dwStart = GetTickCount();
    do {
        if (pred())
            return true;
        Sleep(20);
    } while (GetTickCount() - dwStart < dwTimeout);
    return pred();
}

bool WaitGone(HWND hwnd, DWORD dwTimeout)
{
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); }, dwTimeout);
}

std::string Text(HWND hwnd)
{
    char szText[2048] = "";
    // WM_GETTEXT works on other processes' controls, where GetWindowText does not.
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof szText, reinterpret_cast<LPARAM>(szText), SMTO_ABORTIFHUNG, 5000,
                        nullptr);
    return szText;
}

std::string ItemText(HWND hwndDialog, int nId)
{
    return Text(GetDlgItem(hwndDialog, nId));
}

std::string ClassOf(HWND hwnd)
{
    char szClass[64] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    return szClass;
}

LONG Style(HWND hwndDialog, int nId)
{
    return static_cast<LONG>(GetWindowLongPtrA(GetDlgItem(hwndDialog, nId), GWL_STYLE));
}

bool IsItemEnabled(HWND hwndDialog, int nId)
{
    return IsWindowEnabled(GetDlgItem(hwndDialog, nId)) != FALSE;
}

bool IsItemVisible(HWND hwndDialog, int nId)
{
    return IsWindowVisible(GetDlgItem(hwndDialog, nId)) != FALSE;
}

void Press(HWND hwndDialog, int nId)
{
    PostMessageA(hwndDialog, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(hwndDialog, nId)));
}

void SetItemText(HWND hwndDialog, int nId, const std::string& strText)
{
    SendMessageA(GetDlgItem(hwndDialog, nId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strText.c_str()));
}

void Choose(HWND hwndDialog, int nId, int nIndex)
{
    HWND hwndItem = GetDlgItem(hwndDialog, nId);
    const bool bCombo = ClassOf(hwndItem) == "ComboBox";
    SendMessageA(hwndItem, bCombo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    // Posted: the page may answer with a message box of its own.
    PostMessageA(hwndDialog, WM_COMMAND, MAKEWPARAM(nId, bCombo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(hwndItem));
}

Box WaitForBox(const char* pszCaption, DWORD dwTimeout)
{
    Box box;
    box.hwnd = WaitForWindowIf(
        [&](HWND hwnd) {
            return ClassOf(hwnd) == "#32770" && Text(hwnd) == pszCaption && GetDlgItem(hwnd, 0xFFFF) != nullptr &&
                   !ItemText(hwnd, 0xFFFF).empty();
        },
        dwTimeout);
    if (box.hwnd == nullptr)
        return box;
    box.strText = ItemText(box.hwnd, 0xFFFF);
    auto has = [&](int nId) { return GetDlgItem(box.hwnd, nId) != nullptr; };
    if (has(IDRETRY))
        box.nButtons = MB_RETRYCANCEL;
    else if (has(IDYES))
        box.nButtons = MB_YESNO;
    else if (has(IDCANCEL))
        box.nButtons = MB_OKCANCEL;
    else
        box.nButtons = MB_OK;
    const LRESULT lDefault = SendMessageA(box.hwnd, DM_GETDEFID, 0, 0);
    box.nDefault = HIWORD(lDefault) == DC_HASDEFID ? LOWORD(lDefault) : 0;
    return box;
}

void Answer(const Box& box, int nButton)
{
    PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
    WaitGone(box.hwnd);
}

DWORD WizardButtons(HWND hwndSheet)
{
    const int BACK = 0x3023, NEXT = 0x3024, FINISH = 0x3025;
    DWORD dwFlags = 0;
    if (IsItemVisible(hwndSheet, BACK) && IsItemEnabled(hwndSheet, BACK))
        dwFlags |= 1;
    if (IsItemVisible(hwndSheet, NEXT) && IsItemEnabled(hwndSheet, NEXT))
        dwFlags |= 2;
    if (IsItemVisible(hwndSheet, FINISH))
        dwFlags |= IsItemEnabled(hwndSheet, FINISH) ? 4 : 8;
    return dwFlags;
}

HWND CurrentPage(HWND hwndSheet)
{
    return reinterpret_cast<HWND>(SendMessageA(hwndSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

COLORREF ScreenPixel(HWND hwnd, int x, int y)
{
    POINT pt = {x, y};
    ClientToScreen(hwnd, &pt);
    HDC hdc = GetDC(nullptr);
    const COLORREF colour = GetPixel(hdc, pt.x, pt.y);
    ReleaseDC(nullptr, hdc);
    return colour;
}

bool SaveScreenshot(HWND hwnd, const std::string& strPath)
{
    RECT rc;
    if (!GetWindowRect(hwnd, &rc))
        return false;
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return false;
    HDC hdcScreen = GetDC(nullptr);
    HDC hdcMem = CreateCompatibleDC(hdcScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hbm = CreateDIBSection(hdcScreen, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = SelectObject(hdcMem, hbm);
    BitBlt(hdcMem, 0, 0, cx, cy, hdcScreen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(cy) * (cx * 3 + 1));
    const unsigned char* p = static_cast<const unsigned char*>(pBits);
    for (int y = 0; y < cy; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < cx; ++x) {
            const unsigned char* px = p + (static_cast<size_t>(y) * cx + x) * 4;
            raw.push_back(px[2]);
            raw.push_back(px[1]);
            raw.push_back(px[0]);
        }
    }
    SelectObject(hdcMem, hOld);
    DeleteObject(hbm);
    DeleteDC(hdcMem);
    ReleaseDC(nullptr, hdcScreen);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBE32(header, static_cast<unsigned long>(cx));
    PutBE32(header, static_cast<unsigned long>(cy));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Deflated(raw));
    PutChunk(png, "IEND", {});
    FILE* f = std::fopen(strPath.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool bWritten = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && bWritten;
}

}  // namespace gui

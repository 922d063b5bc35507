#include "tests/gui/gui_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "framework/window_placement.h"

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
                   (pszCaption == nullptr || Caption(hwnd) == pszCaption);
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

std::string Caption(HWND hwnd)
{
    char szCaption[256] = "";
    GetWindowTextA(hwnd, szCaption, sizeof szCaption);
    return szCaption;
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

HWND Focus(HWND hwnd)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info) ? info.hwndFocus : nullptr;
}

RECT WindowRect(HWND hwnd)
{
    RECT rc = {};
    GetWindowRect(hwnd, &rc);
    return rc;
}

POINT CentredPlace(HWND hwnd, HWND hwndOwner)
{
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(hwndOwner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT rc = WindowRect(hwnd);
    return CentredPosition(WindowRect(hwndOwner), rc.right - rc.left, rc.bottom - rc.top, monitor.rcWork);
}

std::vector<int> LinesPastTheEdge(HWND hwndEdit)
{
    RECT rc = {};
    GetClientRect(hwndEdit, &rc);
    const LONG lRight = rc.right - HIWORD(SendMessageA(hwndEdit, EM_GETMARGINS, 0, 0));
    std::vector<int> lines;
    const int nLines = static_cast<int>(SendMessageA(hwndEdit, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < nLines; ++i) {
        const LRESULT nStart = SendMessageA(hwndEdit, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
        const LRESULT nLength = SendMessageA(hwndEdit, EM_LINELENGTH, static_cast<WPARAM>(nStart), 0);
        if (nLength == 0)
            continue;
        // Where the character after the line's last one would stand (-1 past the text's end).
        const LRESULT lPos = SendMessageA(hwndEdit, EM_POSFROMCHAR, static_cast<WPARAM>(nStart + nLength), 0);
        if (lPos == -1 || static_cast<short>(LOWORD(lPos)) > lRight)
            lines.push_back(i);
    }
    return lines;
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

bool IsBox(HWND hwnd)
{
    return ClassOf(hwnd) == "#32770" && GetDlgItem(hwnd, 0xFFFF) != nullptr && !ItemText(hwnd, 0xFFFF).empty();
}

Box ReadBox(HWND hwnd)
{
    Box box;
    if (!IsBox(hwnd))
        return box;
    box.strText = ItemText(hwnd, 0xFFFF);
    box.hwnd = hwnd;
    auto has = [&](int nId) { return GetDlgItem(hwnd, nId) != nullptr; };
    if (has(IDRETRY))
        box.nButtons = MB_RETRYCANCEL;
    else if (has(IDYES))
        box.nButtons = MB_YESNO;
    else if (has(IDCANCEL))
        box.nButtons = MB_OKCANCEL;
    else
        box.nButtons = MB_OK;
    // The button drawn as the default (the box's DM_GETDEFID may still name OK).
    for (int nId : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO})
        if (has(nId) && (GetWindowLongPtrA(GetDlgItem(hwnd, nId), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            box.nDefault = nId;
    box.nIcon = BoxIcon(hwnd);
    return box;
}

Box WaitForBox(const char* pszCaption, DWORD dwTimeout)
{
    HWND hwnd = WaitForWindowIf([&](HWND h) { return Caption(h) == pszCaption && IsBox(h); }, dwTimeout);
    return hwnd != nullptr ? ReadBox(hwnd) : Box();
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

}  // namespace gui

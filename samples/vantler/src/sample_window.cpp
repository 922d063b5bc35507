#include "sample_window.h"

#include <string.h>

namespace {

const int kMargin = 16;
const int kBannerHeight = 48;

// Owns one GDI object; selecting it out again is the caller's concern.
class CGdiObject {
public:
  explicit CGdiObject(HGDIOBJ hObject) : m_hObject(hObject) {}
  ~CGdiObject() { if (m_hObject) DeleteObject(m_hObject); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  HGDIOBJ Get() const { return m_hObject; }

private:
  HGDIOBJ m_hObject;
};

void DrawLine(HDC hdc, const RECT& rcClient, int nTop, const char* pszText) {
  RECT rc = { kMargin, nTop, rcClient.right - kMargin, nTop + 200 };
  DrawTextA(hdc, pszText, -1, &rc, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_SINGLELINE | DT_END_ELLIPSIS);
}

void Paint(HWND hwnd, const SampleWindowInfo& info) {
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(hwnd, &ps);
  RECT rcClient;
  GetClientRect(hwnd, &rcClient);

  RECT rcBanner = { 0, 0, rcClient.right, kBannerHeight };
  CGdiObject banner(CreateSolidBrush(info.crBanner));
  FillRect(hdc, &rcBanner, static_cast<HBRUSH>(banner.Get()));

  HGDIOBJ hOldFont = SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(hdc, TRANSPARENT);
  TEXTMETRICA tm;
  GetTextMetricsA(hdc, &tm);
  const int nLineHeight = tm.tmHeight + tm.tmExternalLeading + 4;

  SetTextColor(hdc, RGB(255, 255, 255));
  DrawLine(hdc, rcClient, (kBannerHeight - tm.tmHeight) / 2, info.pszCaption);

  SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
  int nTop = kBannerHeight + kMargin;
  for (int i = 0; i < info.nLines; ++i, nTop += nLineHeight)
    DrawLine(hdc, rcClient, nTop, info.ppszLines[i]);
  if (info.pszDocument && *info.pszDocument) {
    char szLine[MAX_PATH + 16] = "Document: ";
    strncat(szLine, info.pszDocument, sizeof(szLine) - strlen(szLine) - 1);
    DrawLine(hdc, rcClient, nTop + nLineHeight, szLine);
  }

  SelectObject(hdc, hOldFont);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK SampleWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
  case WM_NCCREATE: {
    const CREATESTRUCTA* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcs->lpCreateParams));
    break;
  }
  case WM_PAINT: {
    const SampleWindowInfo* pInfo =
        reinterpret_cast<const SampleWindowInfo*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (pInfo) {
      Paint(hwnd, *pInfo);
      return 0;
    }
    break;
  }
  case WM_SIZE:
    // Lines are clipped to the width, so a resize repaints everything.
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

}  // namespace

int RunSampleWindow(HINSTANCE hInstance, int nShowCmd, const SampleWindowInfo& info) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = SampleWndProc;
  wc.hInstance = hInstance;
  wc.hIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_SAMPLE));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = info.pszClassName;
  if (!RegisterClassA(&wc))
    return 1;

  HWND hwnd = CreateWindowExA(0, info.pszClassName, info.pszCaption, WS_OVERLAPPEDWINDOW,
                              CW_USEDEFAULT, CW_USEDEFAULT, 520, 320, nullptr, nullptr, hInstance,
                              const_cast<SampleWindowInfo*>(&info));
  if (!hwnd)
    return 1;
  ShowWindow(hwnd, nShowCmd);
  UpdateWindow(hwnd);

  MSG msg;
  BOOL bRet;
  while ((bRet = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (bRet == -1)
      return 1;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

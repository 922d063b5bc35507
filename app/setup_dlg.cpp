#include "app/setup_dlg.h"

#include "app/engine_callback.h"
#include "engine/engine_interface.h"
#include "app/gradient.h"
#include "app/install_sequence.h"
#include "app/setup_wizard.h"
#include "framework/gdi.h"
#include "framework/main_window.h"
#include "res/resource.h"

CSetupDlg::CSetupDlg(const SetupOptions& options, DWORD dwProductId)
    : CSingleInstanceDlg(IDD_SETUP, dwProductId), m_options(options),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
    SetMainSetupWindow(this);
}

CSetupDlg::~CSetupDlg()
{
    if (GetMainSetupWindow() == this)
        SetMainSetupWindow(nullptr);
}

void CSetupDlg::SetWindowIcon(BOOL bBigIcon)
{
    SendMessageA(m_hwnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
}

void CSetupDlg::SetCaption(const std::string& strCaption)
{
    SetWindowTextA(m_hwnd, strCaption.c_str());
}

void CSetupDlg::Show(int nCmdShow)
{
    ShowWindow(m_hwnd, nCmdShow);
}

void CSetupDlg::Repaint()
{
    InvalidateRect(m_hwnd, nullptr, FALSE);
    UpdateWindow(m_hwnd);
}

std::unique_ptr<IWizard> CSetupDlg::CreateWizard()
{
    return CreateSetupWizard(m_options);
}

BOOL CSetupDlg::OnInitDialog()
{
    // The wizard, the read-only dialog and the message boxes name no owner:
    // they belong to this window.
    SetMainWindow(m_hwnd);
    m_outcome = RunInstallAndReport(*this, EngineCallback);
    // Ends the modal loop at once: the window never waits for input of its own.
    PostQuitMessage(0);
    return TRUE;
}

LRESULT CSetupDlg::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // Answered by the window procedure itself: a dialog procedure's result
    // would be taken as "not handled" here.
    if (nMsg == WM_QUERYDRAGICON)
        return reinterpret_cast<LRESULT>(m_hIcon);
    return CSingleInstanceDlg::WindowProc(nMsg, wParam, lParam);
}

BOOL CSetupDlg::OnMessage(UINT nMsg, WPARAM, LPARAM lParam, LRESULT&)
{
    switch (nMsg) {
    case WM_SIZE:
        PaintBackground(LOWORD(lParam), HIWORD(lParam));
        return FALSE;  // the system's handling follows
    case WM_PAINT:
        OnPaint();
        return TRUE;
    default:
        return FALSE;
    }
}

void CSetupDlg::PaintBackground(int cx, int cy)
{
    {
        CClientDC dcWindow(m_hwnd);
        if (!m_dcBackground.Create(dcWindow.Get(), cx, cy))
            return;
    }
    HDC hdc = m_dcBackground.Get();
    for (int i = 0; i < GRADIENT_BANDS; ++i) {
        const GradientBand band = GetGradientBand(i, cy);
        const RECT rcBand = {0, band.nTop, cx - 1, band.nBottom};
        CBrush brush(CreateSolidBrush(RGB(0, 0, band.bBlue)));
        FillRect(hdc, &rcBand, brush.Get());
    }

    CFont font(CreateFontA(36, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN, nullptr));
    HGDIOBJ hOldFont = font ? SelectObject(hdc, font.Get()) : nullptr;
    SetBkMode(hdc, TRANSPARENT);
    ISetupEngine* pEngine = GetSetupEngine();
    const std::string strTitle = pEngine != nullptr ? pEngine->GetProductTitle() : std::string();
    const int nLength = static_cast<int>(strTitle.size());
    SetTextColor(hdc, RGB(0, 0, 50));
    TextOutA(hdc, 29, 29, strTitle.c_str(), nLength);
    SetTextColor(hdc, RGB(255, 255, 255));
    TextOutA(hdc, 25, 22, strTitle.c_str(), nLength);
    if (hOldFont != nullptr)
        SelectObject(hdc, hOldFont);
}

void CSetupDlg::OnPaint()
{
    CPaintDC dc(m_hwnd);
    RECT rcClient;
    GetClientRect(m_hwnd, &rcClient);
    if (IsIconic(m_hwnd)) {
        SendMessageA(m_hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
        DrawIcon(dc.Get(), (rcClient.right - GetSystemMetrics(SM_CXICON) + 1) / 2,
                 (rcClient.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2, m_hIcon);
        return;
    }
    BitBlt(dc.Get(), 0, 0, m_dcBackground.GetWidth() - 1, m_dcBackground.GetHeight() - 1, m_dcBackground.Get(), 0, 0,
           SRCCOPY);
}

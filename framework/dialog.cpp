#include "framework/dialog.h"

#include "framework/main_window.h"

namespace {

// The dialog being created on this thread: the own class's window procedure
// runs before WM_INITDIALOG can hand the object over, and picks it up here.
CDialog* g_pCreating = nullptr;
WNDPROC g_pfnSystemDialogProc = nullptr;

const char* const OBJECT_PROP = "CDialog";

}  // namespace

CDialog::~CDialog()
{
    if (!m_bModal && m_hwnd != nullptr)
        DestroyWindow();
}

INT_PTR CDialog::DoModal(HWND hwndParent)
{
    m_bModal = true;
    g_pCreating = this;
    if (hwndParent == nullptr)
        hwndParent = GetDefaultOwner();
    const INT_PTR nResult = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nTemplate), hwndParent,
                                            DialogProc, reinterpret_cast<LPARAM>(this));
    g_pCreating = nullptr;
    m_hwnd = nullptr;
    return nResult;
}

BOOL CDialog::CreateModeless(HWND hwndParent)
{
    m_bModal = false;
    g_pCreating = this;
    HWND hwnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nTemplate), hwndParent,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
    g_pCreating = nullptr;
    if (hwnd == nullptr)
        m_hwnd = nullptr;
    return hwnd != nullptr;
}

void CDialog::EndDialog(INT_PTR nResult)
{
    if (m_bModal)
        ::EndDialog(m_hwnd, nResult);
    else
        DestroyWindow();
}

void CDialog::DestroyWindow()
{
    HWND hwnd = m_hwnd;
    m_hwnd = nullptr;
    if (hwnd != nullptr)
        ::DestroyWindow(hwnd);
}

void CDialog::OnCommand(int nId, int)
{
    if (nId == IDOK || nId == IDCANCEL)
        EndDialog(nId);
}

BOOL CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

LRESULT CDialog::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return DefaultWindowProc(nMsg, wParam, lParam);
}

LRESULT CDialog::DefaultWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(g_pfnSystemDialogProc, m_hwnd, nMsg, wParam, lParam);
}

void CDialog::Attach(HWND hwnd)
{
    m_hwnd = hwnd;
    SetPropA(hwnd, OBJECT_PROP, this);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDialog = static_cast<CDialog*>(GetPropA(hwnd, OBJECT_PROP));
    if (nMsg == WM_INITDIALOG) {
        pDialog = reinterpret_cast<CDialog*>(lParam);
        if (g_pCreating == pDialog)
            g_pCreating = nullptr;
        pDialog->Attach(hwnd);
        return pDialog->OnInitDialog();
    }
    if (pDialog == nullptr)
        return FALSE;
    switch (nMsg) {
    case WM_COMMAND:
        pDialog->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NCDESTROY:
        RemovePropA(hwnd, OBJECT_PROP);
        if (pDialog->m_hwnd == hwnd)
            pDialog->m_hwnd = nullptr;
        return FALSE;
    default: {
        LRESULT lResult = 0;
        if (!pDialog->OnMessage(nMsg, wParam, lParam, lResult))
            return FALSE;
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
    }
}

BOOL CDialog::RegisterOwnClass(const char* pszClassName)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(nullptr, MAKEINTRESOURCEA(32770), &wc))
        return FALSE;
    g_pfnSystemDialogProc = wc.lpfnWndProc;
    wc.lpfnWndProc = OwnClassProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = pszClassName;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK CDialog::OwnClassProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDialog = static_cast<CDialog*>(GetPropA(hwnd, OBJECT_PROP));
    if (pDialog == nullptr && g_pCreating != nullptr && nMsg != WM_NCDESTROY) {
        pDialog = g_pCreating;
        g_pCreating = nullptr;
        pDialog->Attach(hwnd);
    }
    if (pDialog == nullptr)
        return CallWindowProcA(g_pfnSystemDialogProc, hwnd, nMsg, wParam, lParam);
    return pDialog->WindowProc(nMsg, wParam, lParam);
}

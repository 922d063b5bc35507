#include "framework/property_sheet.h"

#include "framework/main_window.h"
#include "framework/window_placement.h"

namespace {

const char* const OBJECT_PROP = "CPropertyPage";

// The sheet opens centred on its owner, not where the system puts new windows.
int CALLBACK SheetCallback(HWND hwnd, UINT nMsg, LPARAM)
{
    if (nMsg == PSCB_INITIALIZED)
        CentreOnOwner(hwnd);
    return 0;
}

}  // namespace

CPropertyPage::CPropertyPage(UINT nTemplate) : m_psp()
{
    m_psp.dwSize = sizeof m_psp;
    m_psp.hInstance = GetModuleHandleA(nullptr);
    m_psp.pszTemplate = MAKEINTRESOURCEA(nTemplate);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = reinterpret_cast<LPARAM>(this);
}

void CPropertyPage::SetTitle(const std::string& strTitle)
{
    m_strTitle = strTitle;
    m_psp.pszTitle = m_strTitle.c_str();
}

BOOL CPropertyPage::OnNotify(const NMHDR& header, LRESULT& lResult)
{
    switch (header.code) {
    case PSN_SETACTIVE:
        lResult = OnSetActive() ? 0 : -1;
        return TRUE;
    case PSN_KILLACTIVE:
        lResult = OnKillActive() ? FALSE : TRUE;
        return TRUE;
    case PSN_WIZFINISH:
        if (OnWizardFinish()) {
            m_pOwner->m_bFinished = true;
            lResult = FALSE;
        } else {
            lResult = TRUE;
        }
        return TRUE;
    case PSN_QUERYCANCEL:
        lResult = OnQueryCancel() ? FALSE : TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CPropertyPage* pPage = static_cast<CPropertyPage*>(GetPropA(hwnd, OBJECT_PROP));
    switch (nMsg) {
    case WM_INITDIALOG:
        pPage = reinterpret_cast<CPropertyPage*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
        pPage->m_hwnd = hwnd;
        SetPropA(hwnd, OBJECT_PROP, pPage);
        return pPage->OnInitDialog();
    case WM_COMMAND:
        if (pPage == nullptr)
            return FALSE;
        pPage->OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        LRESULT lResult = 0;
        if (pPage == nullptr || !pPage->OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lResult))
            return FALSE;
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, lResult);
        return TRUE;
    }
    case WM_NCDESTROY:
        RemovePropA(hwnd, OBJECT_PROP);
        if (pPage != nullptr)
            pPage->m_hwnd = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

CPropertySheet::CPropertySheet(UINT nCaption) : m_psh()
{
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_PROPSHEETPAGE;
    m_psh.hInstance = GetModuleHandleA(nullptr);
    m_psh.pszCaption = MAKEINTRESOURCEA(nCaption);
}

void CPropertySheet::AddPage(CPropertyPage& page)
{
    page.m_pOwner = this;
    m_apPages.push_back(&page);
}

INT_PTR CPropertySheet::DoModal()
{
    // The pages' descriptions are copied here, so flags changed after AddPage count.
    m_aPageSheets.clear();
    for (CPropertyPage* pPage : m_apPages)
        m_aPageSheets.push_back(pPage->m_psp);
    m_psh.nPages = static_cast<UINT>(m_aPageSheets.size());
    m_psh.ppsp = m_aPageSheets.data();
    m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_USECALLBACK;
    m_psh.pfnCallback = SheetCallback;
    m_bFinished = false;
    PROPSHEETHEADERA header = m_psh;
    if (header.hwndParent == nullptr)
        header.hwndParent = GetDefaultOwner();
    const INT_PTR nResult = PropertySheetA(&header);
    // A Finish that its page let through always ends the sheet.
    if (m_bFinished)
        return ID_WIZFINISH;
    return nResult > 0 ? IDOK : IDCANCEL;
}

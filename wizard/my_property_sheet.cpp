#include "wizard/my_property_sheet.h"

#include "res/resource.h"

CMyPropertySheet::CMyPropertySheet(IWizardEngine& engine)
    : CPropertySheet(IDS_WIZARD_CAPTION), m_page1(engine), m_page2(engine), m_page3(engine)
{
    m_page1.m_psp.dwFlags &= ~PSP_HASHELP;
    m_page1.m_psp.dwFlags |= PSP_USETITLE;
    m_page2.m_psp.dwFlags &= ~PSP_HASHELP;
    m_page3.m_psp.dwFlags &= ~PSP_HASHELP;
    m_page1.SetTitle(engine.GetInfoTitle());
    m_page1.m_pSheet = this;
    m_page2.m_pSheet = this;
    m_page3.m_pSheet = this;
    AddPage(m_page1);
    AddPage(m_page2);
    AddPage(m_page3);
    m_psh.dwFlags |= PSH_WIZARD;
}

void CMyPropertySheet::EndCancelled(HWND hwndSheet)
{
    m_bEnding = TRUE;
    // Posted: the page that asks may still be in its own set-up.
    PostMessageA(hwndSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

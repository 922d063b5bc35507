#include "wizard/info_page.h"

#include "res/resource.h"

CMyPropertyPage1::CMyPropertyPage1(IWizardEngine& engine) : CWizardPage(IDD_WIZARD_INFO), m_logic(engine, *this) {}

BOOL CMyPropertyPage1::OnInitDialog()
{
    m_logic.OnInitDialog();
    return TRUE;
}

BOOL CMyPropertyPage1::OnSetActive()
{
    m_logic.OnSetActive();
    return TRUE;
}

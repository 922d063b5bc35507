#include "wizard/dest_page.h"

#include "res/resource.h"

CMyPropertyPage2::CMyPropertyPage2(IWizardEngine& engine) : CWizardPage(IDD_WIZARD_DEST), m_logic(engine, *this) {}

BOOL CMyPropertyPage2::OnInitDialog()
{
    SendItemMessage(IDC_DEST_DIR, EM_LIMITTEXT, CDestPageLogic::MAX_DIR_TEXT);
    m_bReady = m_logic.OnInitDialog() != FALSE;
    return TRUE;
}

void CMyPropertyPage2::OnCommand(int nId, int nCode)
{
    if (!m_bReady)
        return;
    if (nId == IDC_DEST_DRIVES && nCode == CBN_SELCHANGE)
        m_logic.OnDriveChange();
    else if (nId == IDC_DEST_DIR && nCode == EN_CHANGE)
        m_logic.CheckPathText();
}

BOOL CMyPropertyPage2::OnSetActive()
{
    m_logic.OnSetActive();
    return TRUE;
}

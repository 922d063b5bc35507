#include "wizard/folder_page.h"

#include "res/resource.h"

CMyPropertyPage3::CMyPropertyPage3(IWizardEngine& engine) : CWizardPage(IDD_WIZARD_FOLDER), m_logic(engine, *this) {}

BOOL CMyPropertyPage3::OnInitDialog()
{
    SendItemMessage(IDC_FOLDER_NAME, EM_LIMITTEXT, CFolderPageLogic::MAX_NAME_TEXT);
    m_logic.OnInitDialog();
    return TRUE;
}

void CMyPropertyPage3::OnCommand(int nId, int nCode)
{
    if (nId == IDC_FOLDER_NAME && nCode == EN_CHANGE)
        m_logic.CheckFolderName();
    else if (nId == IDC_FOLDERS && nCode == LBN_SELCHANGE)
        m_logic.OnFolderChosen();
}

BOOL CMyPropertyPage3::OnSetActive()
{
    m_logic.OnSetActive();
    return TRUE;
}

BOOL CMyPropertyPage3::OnWizardFinish()
{
    m_logic.OnWizardFinish();
    return TRUE;
}

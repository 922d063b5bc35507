#include "wizard/info_page_logic.h"

#include "res/resource.h"

void CInfoPageLogic::OnInitDialog()
{
    const char* pszText = m_engine.GetInfoText();
    m_view.SetItemText(IDC_INFO_TEXT, pszText != nullptr ? pszText : "");
}

void CInfoPageLogic::OnSetActive()
{
    m_view.SetWizardButtons(WIZB_NEXT);
}

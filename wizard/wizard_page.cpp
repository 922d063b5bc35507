#include "wizard/wizard_page.h"

#include "wizard/my_property_sheet.h"

void CWizardPage::SetWizardButtons(DWORD dwFlags)
{
    // Sent, not posted: the buttons show the new state before the handler returns.
    SendMessageA(GetSheetWindow(), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
}

bool CWizardPage::IsComboBox(int nId) const
{
    char szClass[16] = "";
    GetClassNameA(GetItem(nId), szClass, sizeof szClass);
    return lstrcmpiA(szClass, "ComboBox") == 0;
}

void CWizardPage::InsertItem(int nId, int nIndex, const std::string& strText)
{
    SendItemMessage(nId, IsComboBox(nId) ? CB_INSERTSTRING : LB_INSERTSTRING, static_cast<WPARAM>(nIndex),
                    reinterpret_cast<LPARAM>(strText.c_str()));
}

void CWizardPage::SelectItem(int nId, int nIndex)
{
    SendItemMessage(nId, IsComboBox(nId) ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(nIndex));
}

int CWizardPage::GetSelectedItem(int nId) const
{
    return static_cast<int>(SendItemMessage(nId, IsComboBox(nId) ? CB_GETCURSEL : LB_GETCURSEL));
}

void CWizardPage::EndCancelled()
{
    m_pSheet->EndCancelled(GetSheetWindow());
}

BOOL CWizardPage::IsEnding() const
{
    return m_pSheet->IsEnding();
}

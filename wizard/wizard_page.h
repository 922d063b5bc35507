// The Win32 side that the three pages share: a property page that is the
// view of its page logic, and that sends its button settings to the sheet.
#pragma once

#include "framework/property_sheet.h"
#include "wizard/page_view.h"

class CMyPropertySheet;

class CWizardPage : public CPropertyPage, public IPageView {
public:
    explicit CWizardPage(UINT nTemplate) : CPropertyPage(nTemplate) {}

    // The sheet that the page belongs to, set by the sheet's constructor.
    CMyPropertySheet* m_pSheet = nullptr;

    void SetWizardButtons(DWORD dwFlags) override;
    void SetItemText(int nId, const std::string& strText) override { CDialogWindow::SetItemText(nId, strText); }
    std::string GetItemText(int nId) const override { return CDialogWindow::GetItemText(nId); }
    void InsertItem(int nId, int nIndex, const std::string& strText) override;
    void SelectItem(int nId, int nIndex) override;
    int GetSelectedItem(int nId) const override;
    void EndCancelled() override;

protected:
    // TRUE when the sheet is ending by itself, so nobody needs to be asked.
    BOOL IsEnding() const;

private:
    bool IsComboBox(int nId) const;
};

// Page 3 (template 140): the program folder.
#pragma once

#include "wizard/folder_page_logic.h"
#include "wizard/wizard_page.h"

class CMyPropertyPage3 : public CWizardPage {
public:
    explicit CMyPropertyPage3(IWizardEngine& engine);

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int nId, int nCode) override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;
    BOOL OnQueryCancel() override { return IsEnding() || m_logic.OnQueryCancel(); }

private:
    CFolderPageLogic m_logic;
};

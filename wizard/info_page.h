// Page 1 (template 112): the information text.
#pragma once

#include "wizard/info_page_logic.h"
#include "wizard/wizard_page.h"

class CMyPropertyPage1 : public CWizardPage {
public:
    explicit CMyPropertyPage1(IWizardEngine& engine);

protected:
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnQueryCancel() override { return IsEnding() || m_logic.OnQueryCancel(); }

private:
    CInfoPageLogic m_logic;
};

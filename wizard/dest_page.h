// Page 2 (template 113): the destination drive and directory.
#pragma once

#include "wizard/dest_page_logic.h"
#include "wizard/wizard_page.h"

class CMyPropertyPage2 : public CWizardPage {
public:
    explicit CMyPropertyPage2(IWizardEngine& engine);

    const CDestPageLogic& GetLogic() const { return m_logic; }

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int nId, int nCode) override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override { return m_logic.ValidateDestination(); }
    BOOL OnQueryCancel() override { return IsEnding() || m_logic.OnQueryCancel(); }

private:
    CDestPageLogic m_logic;
    bool m_bReady = false;  // set-up done: edit changes are the user's
};

// The program folder page: a folder name that passes the name check, offered
// from the install description and the folders that already exist.
#pragma once

#include "platform/progman_text.h"
#include "wizard/page_logic.h"

class CFolderPageLogic : public CPageLogic {
public:
    using CPageLogic::CPageLogic;

    void OnInitDialog();
    // Selects the existing folder that the name matches (case ignored).
    void OnSetActive();
    // EN_CHANGE of the name.
    void CheckFolderName();
    // LBN_SELCHANGE: the engine's name at the chosen index goes into the edit.
    void OnFolderChosen();
    // Finish: stores the trimmed name in the engine.
    void OnWizardFinish();

    // The longest name Program Manager takes for a group.
    static const size_t MAX_NAME_TEXT = PROGMAN_MAX_GROUP_NAME;

    // Not empty after trimming, at most MAX_NAME_TEXT characters then, none
    // of "#%;/\", and a name that Program Manager can take as one group (not
    // ".", "..", dots and blanks only, a device name, a quote, colon,
    // wildcard or control character).
    static BOOL IsValidFolderName(const std::string& strName);

    BOOL m_bNameValid = FALSE;

private:
    void SendButtons() { m_view.SetWizardButtons(m_bNameValid ? WIZB_BACK | WIZB_FINISH : WIZB_DISABLEDFINISH); }
};

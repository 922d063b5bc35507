// The install wizard: the information page, the destination page and the
// program folder page in a modal property sheet in wizard mode.
#pragma once

#include "wizard/dest_page.h"
#include "wizard/folder_page.h"
#include "wizard/info_page.h"

class CMyPropertySheet : public CPropertySheet {
public:
    // No parent window; the pages read and write the engine through engine.
    explicit CMyPropertySheet(IWizardEngine& engine);

    // Ends the wizard as cancelled without asking the user (a page that
    // cannot go on has told the user already).
    void EndCancelled(HWND hwndSheet);
    BOOL IsEnding() const { return m_bEnding; }

    CMyPropertyPage1 m_page1;
    CMyPropertyPage2 m_page2;
    CMyPropertyPage3 m_page3;

private:
    BOOL m_bEnding = FALSE;
};

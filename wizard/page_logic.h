// What the three pages' logic shares: the engine and the page's window, the
// quit confirmation, and the trimming and size texts of the pages.
#pragma once

#include <string>

#include "wizard/page_view.h"
#include "wizard/wizard_engine.h"

class CPageLogic {
public:
    CPageLogic(IWizardEngine& engine, IPageView& view) : m_engine(engine), m_view(view) {}
    virtual ~CPageLogic() = default;
    CPageLogic(const CPageLogic&) = delete;
    CPageLogic& operator=(const CPageLogic&) = delete;

    // Cancel, Escape or the close box: TRUE when the user confirms quitting.
    BOOL OnQueryCancel();

protected:
    IWizardEngine& m_engine;
    IPageView& m_view;
};

// The text without blanks, tabs and line breaks at either end.
std::string TrimWhiteSpace(const std::string& strText);

// Equal without regard to letter case, by the system's code page on Windows.
bool EqualIgnoringCase(const std::string& strA, const std::string& strB);

// A byte count in megabytes with one decimal: 1,572,864 gives "1.5 MB".
std::string FormatMegabytes(DWORD dwBytes);

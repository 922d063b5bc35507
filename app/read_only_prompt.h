// The "Read-Only-File detected" dialog without its window: its two fields and
// what its controls do. The real dialog (template 141) derives from it and
// forwards the check box and button commands here.
#pragma once

#include <string>

#include "framework/wintypes.h"

// The dialog's results, which are also the callback's answers.
enum {
    READONLY_OVERWRITE = 1,  // "&Yes"
    READONLY_KEEP = 2,       // "&No"
    READONLY_QUIT = 3,       // Cancel, quitting confirmed
};

class CReadOnlyPrompt {
public:
    CReadOnlyPrompt() = default;
    virtual ~CReadOnlyPrompt() = default;
    CReadOnlyPrompt(const CReadOnlyPrompt&) = delete;
    CReadOnlyPrompt& operator=(const CReadOnlyPrompt&) = delete;

    // The question shown in static 1032, the file's path shortened in the
    // middle to at most nMaxPath characters.
    std::string GetText(std::string::size_type nMaxPath = std::string::npos) const;

    // Check box 1033 was clicked: its new state is stored at once, whichever
    // button then closes the dialog.
    void OnDontShowAgainClicked(BOOL bChecked);

    // A button (IDOK "&Yes", IDNO "&No", IDCANCEL "Cancel", Escape, close box):
    // returns the result that ends the dialog, or 0 when it stays open.
    INT_PTR OnCommand(int nId);

    // Runs the dialog modally and returns its result.
    virtual INT_PTR DoModal() = 0;

    std::string m_strFileName;
    // Once set, the dialog is not shown again for the rest of the run.
    int m_nDontShowAgain = 0;
};

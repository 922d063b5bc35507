// "Read-Only-File detected" (template 141): the window over CReadOnlyPrompt.
#pragma once

#include "app/read_only_prompt.h"
#include "framework/dialog.h"

class CReadOnlyDlg : public CReadOnlyPrompt, private CDialog {
public:
    CReadOnlyDlg();

    // Runs the dialog with no parent window; 1 overwrite, 2 keep, 3 quit.
    INT_PTR DoModal() override { return CDialog::DoModal(nullptr); }

private:
    BOOL OnInitDialog() override;
    // The question with the longest form of the path whose line fits the
    // text's width: a path without blanks cannot wrap, and a longer line
    // would push "Overwrite this file ?" out of sight.
    std::string FittingText() const;
    void OnCommand(int nId, int nCode) override;
};

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
    void OnCommand(int nId, int nCode) override;
};

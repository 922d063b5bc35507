// "Remove Shared File?" (template 202): a shared file that no program is
// counted as using any more. Yes, Yes to All, No, No to All; No is the
// default and has the focus, and closing the window answers No as well.
#pragma once

#include "framework/dialog.h"
#include "uninstall/machine_state.h"

class CSharedFileDlg : public CDialog, public ISharedFileQuestion {
public:
    CSharedFileDlg();

    SharedAnswer AskRemoveSharedFile(const std::string& strPath) override;

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int nId, int nCode) override;

private:
    std::string m_strPath;
};

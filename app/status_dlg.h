// The one-line status popup (template 139) of loading and the final phases.
#pragma once

#include "app/modeless_display.h"
#include "app/setup_window.h"

class CStatusDlg : public CModelessDisplayDlg, public IStatusPopup {
public:
    CStatusDlg();

    BOOL Create(WindowHandle hwndOwner) override { return CreateDisplay(hwndOwner); }
    void Destroy() override { DestroyDisplay(); }
    void SetStatusText(const std::string& strText) override { SetText(strText); }
    void Show(int nCmdShow) override { ShowWindow(GetHandle(), nCmdShow); }
};

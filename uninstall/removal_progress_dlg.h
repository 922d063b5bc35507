// "Removing Files" (template 201), in the look of Setup.exe's "Copying
// Files": the name of what is being removed and a bar. It has no Cancel: a
// removal stopped half-way would leave the product neither here nor gone.
#pragma once

#include "framework/dialog.h"
#include "framework/message_pump.h"
#include "uninstall/removal.h"

class CRemovalProgressDlg : public CDialog, public IRemovalProgress {
public:
    CRemovalProgressDlg();

    BOOL Create() { return CreateModeless(nullptr); }
    void ShowProgress(const std::string& strName, int nPercent) override;

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int nId, int nCode) override;
    BOOL OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    // The text and the bar follow by a timer of their own, as in "Copying
    // Files": a file is deleted in less time than a repaint takes under Wine.
    static const UINT_PTR UPDATE_TIMER = 1;
    static const UINT UPDATE_INTERVAL_MS = 50;
    void Update();

    std::string m_strName;
    std::string m_strShownName;
    int m_nPercent = 0;
    int m_nShownPercent = -1;
    CMessagePump m_pump;
};

// The "Copying Files" dialog (template 103): the current file, a progress
// bar and a Cancel button that only raises a flag for the engine callback.
#pragma once

#include "app/modeless_display.h"
#include "app/setup_window.h"
#include "framework/message_pump.h"

class CCopyProgressDlg : public CModelessDisplayDlg, public ICopyProgress {
public:
    CCopyProgressDlg();

    BOOL Create(WindowHandle hwndOwner) override;
    void Destroy() override { DestroyDisplay(); }
    void SetStatusText(const std::string& strText) override;
    BOOL CheckCancel() override;
    int SetProgressPos(int nPos) override;
    void Activate() override;

    // Every message waiting for the thread, this dialog's keys first.
    void PumpMessages() { m_pump.Pump(GetHandle()); }

protected:
    BOOL OnInitDialog() override;
    void OnCommand(int nId, int nCode) override;

private:
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    BOOL m_bCancel = FALSE;
    // The bar's position as last set: an unchanged one is not sent again.
    int m_nPos = 0;
    CMessagePump m_pump;
};

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
    BOOL OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

private:
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    BOOL m_bCancel = FALSE;
    // The position as last set, and as the bar shows it.
    int m_nPos = 0;
    int m_nShownPos = 0;
    // A bar that moves repaints itself at once, which costs about a
    // millisecond under Wine (a 10,000-byte chunk of the copy costs some
    // 8 microseconds). So the bar is not moved with each new position but by
    // a timer of its own, when the queue is served: by the pump, or by the
    // loop of a box that holds the copy up.
    static const UINT_PTR BAR_TIMER = 1;
    static const UINT BAR_INTERVAL_MS = 50;
    CMessagePump m_pump;
};

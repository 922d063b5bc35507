// The base of the main window: when another copy of the program starts for
// the same product, this window comes to the front with whatever it shows.
// Whether the other copy may run is decided without windows (CSetupInstance).
#pragma once

#include "framework/dialog.h"

class CSingleInstanceDlg : public CDialog {
public:
    // The template must name the dialog class registered by RegisterOwnClass,
    // so that the window sees every message first. dwProductId: the product
    // whose announcements the window answers.
    CSingleInstanceDlg(UINT nTemplate, DWORD dwProductId);

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    void ComeForward();

    UINT m_nMessage;
    DWORD m_dwProductId;
};

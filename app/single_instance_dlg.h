// The base of the main window that keeps a second copy of the program from
// running: a starting window announces itself to every top-level window, a
// running copy answers and comes to the front, and an answered window
// refuses to be created.
#pragma once

#include "framework/dialog.h"

class CSingleInstanceDlg : public CDialog {
public:
    // The template must name the dialog class registered by RegisterOwnClass,
    // so that the window sees its own creation.
    explicit CSingleInstanceDlg(UINT nTemplate);

    // How long the announcement waits for one window that does not answer.
    static const UINT ANNOUNCE_TIMEOUT_MS = 2000;

    // TRUE when a running copy answered the announcement, so that the window
    // refused to be created.
    BOOL IsRefusedByRunningCopy() const { return m_bAnswered; }

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    // WM_CREATE: -1 when a running copy answered the announcement.
    LRESULT OnCreate(LPARAM lParam);
    void OnAnnouncement(WPARAM wParam, LPARAM lParam);

    static UINT s_nMessage;
    BOOL m_bAlone = FALSE;
    BOOL m_bAnswered = FALSE;
};

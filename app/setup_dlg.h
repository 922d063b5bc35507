// The main window (template 102): maximised behind the wizard and the
// displays, painted with a gradient and the product title. Its
// initialisation runs the whole install and then ends the program.
#pragma once

#include "app/command_line.h"
#include "app/copy_progress_dlg.h"
#include "app/read_only_dlg.h"
#include "app/setup_window.h"
#include "app/single_instance_dlg.h"
#include "app/status_dlg.h"
#include "engine/setup_outcome.h"
#include "framework/offscreen_dc.h"

class CSetupDlg : public CSingleInstanceDlg, public ISetupWindow {
public:
    // dwProductId: the product this copy holds (CSetupInstance).
    CSetupDlg(const SetupOptions& options, DWORD dwProductId);
    ~CSetupDlg() override;

    // How the run ended; OUTCOME_REFUSED until the window has run the
    // install (it could not be created).
    SetupOutcome GetOutcome() const { return m_outcome; }

    WindowHandle GetHandle() const override { return m_hwnd; }
    void SetWindowIcon(BOOL bBigIcon) override;
    void SetCaption(const std::string& strCaption) override;
    void Show(int nCmdShow) override;
    void Repaint() override;
    IStatusPopup& GetStatusPopup() override { return m_dlgStatus; }
    ICopyProgress& GetCopyProgress() override { return m_dlgProgress; }
    CReadOnlyPrompt& GetReadOnlyDialog() override { return m_dlgReadOnly; }
    std::unique_ptr<IWizard> CreateWizard() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnMessage(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    // Draws the gradient and the title into the surface, once per size.
    void PaintBackground(int cx, int cy);
    void OnPaint();

    const SetupOptions& m_options;
    SetupOutcome m_outcome = OUTCOME_REFUSED;
    COffscreenDC m_dcBackground;
    CStatusDlg m_dlgStatus;
    CReadOnlyDlg m_dlgReadOnly;
    CCopyProgressDlg m_dlgProgress;
    HICON m_hIcon;
};

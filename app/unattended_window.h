// The main window of an unattended run, which has no window at all: its
// displays show nothing, the read-only question is answered Yes (only a file
// older than the new one is asked about), and its wizard takes the command
// line's choices without showing a page.
#pragma once

#include "app/command_line.h"
#include "app/read_only_prompt.h"
#include "app/setup_window.h"

class CUnattendedWindow : public ISetupWindow {
public:
    // Makes itself the main window that the engine callback reaches.
    explicit CUnattendedWindow(const SetupOptions& options);
    ~CUnattendedWindow() override;

    WindowHandle GetHandle() const override { return nullptr; }
    void SetWindowIcon(BOOL) override {}
    void SetCaption(const std::string&) override {}
    void Show(int) override {}
    void Repaint() override {}
    IStatusPopup& GetStatusPopup() override { return m_status; }
    ICopyProgress& GetCopyProgress() override { return m_progress; }
    CReadOnlyPrompt& GetReadOnlyDialog() override { return m_readOnly; }
    std::unique_ptr<IWizard> CreateWizard() override;

private:
    class CNoStatus : public IStatusPopup {
    public:
        BOOL Create(WindowHandle) override { return TRUE; }
        void Destroy() override {}
        void SetStatusText(const std::string&) override {}
        void Show(int) override {}
    };
    class CNoProgress : public ICopyProgress {
    public:
        BOOL Create(WindowHandle) override { return TRUE; }
        void Destroy() override {}
        void SetStatusText(const std::string&) override {}
        BOOL CheckCancel() override { return FALSE; }
        int SetProgressPos(int) override { return 0; }
        void Activate() override {}
    };
    class CReadOnlyYes : public CReadOnlyPrompt {
    public:
        INT_PTR DoModal() override { return READONLY_OVERWRITE; }
    };

    const SetupOptions& m_options;
    CNoStatus m_status;
    CNoProgress m_progress;
    CReadOnlyYes m_readOnly;
};

// Stand-ins for the engine, the main window with its displays, and the
// message box: every call lands in one event log, so a test sees the order
// of engine calls, display changes and boxes together. Answers are scripted.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_interface.h"
#include "framework/message_box.h"
#include "app/read_only_prompt.h"
#include "app/setup_window.h"

typedef std::vector<std::string> EventLog;

struct OpResult {
    BOOL bResult = TRUE;
    DWORD dwError = 0;
};

class ScriptedEngine : public ISetupEngine {
public:
    explicit ScriptedEngine(EventLog& log) : m_log(log) {}

    // Makes the named operation fail with dwError.
    void Fail(const std::string& strOp, DWORD dwError) { m_results[strOp] = OpResult{FALSE, dwError}; }

    BOOL LoadInstallInfo(SetupCallback pfnCallback) override;
    BOOL CopyFiles() override;
    BOOL UpdateRegistry() override { return Run("UpdateRegistry"); }
    BOOL RegisterDlls() override { return Run("RegisterDlls"); }
    BOOL CreateProgramFolder() override { return Run("CreateProgramFolder"); }
    void SetInfoText(const char* pszText) override;
    BOOL SaveInstallRecord() override { return Run("SaveInstallRecord"); }
    void Rollback() override { m_log.push_back("engine.Rollback"); }
    void RunPostInstallHook() override { m_log.push_back("engine.RunPostInstallHook"); }
    const std::string& GetProductTitle() const override { return m_strProductTitle; }
    const DamagedFile& GetDamagedFile() const override { return m_damage; }

    std::string m_strProductTitle = "Vantler";
    DamagedFile m_damage;
    SetupCallback m_pfnCallback = nullptr;
    // When set, CopyFiles runs it (after logging) instead of a scripted result.
    std::function<BOOL()> m_copyWork;

private:
    BOOL Run(const std::string& strOp);

    EventLog& m_log;
    std::map<std::string, OpResult> m_results;
};

class RecordingMessageBox : public IMessageBoxPresenter {
public:
    explicit RecordingMessageBox(EventLog& log) : m_log(log) {}
    // Logs "box <style> <text>"; OK-only boxes answer IDOK unless scripted.
    int Show(const char* pszCaption, const std::string& strText, UINT nStyle) override;

    std::deque<int> m_answers;
    std::vector<std::string> m_captions;

private:
    EventLog& m_log;
};

class RecordingStatusPopup : public IStatusPopup {
public:
    explicit RecordingStatusPopup(EventLog& log, WindowHandle hwndMain) : m_log(log), m_hwndMain(hwndMain) {}
    BOOL Create(WindowHandle hwndOwner) override;
    void Destroy() override;
    void SetStatusText(const std::string& strText) override { m_log.push_back("status.Text " + strText); }
    void Show(int nCmdShow) override { m_log.push_back("status.Show " + std::to_string(nCmdShow)); }
    bool m_bExists = false;

private:
    EventLog& m_log;
    WindowHandle m_hwndMain;
};

class RecordingCopyProgress : public ICopyProgress {
public:
    explicit RecordingCopyProgress(EventLog& log, WindowHandle hwndMain) : m_log(log), m_hwndMain(hwndMain) {}
    BOOL Create(WindowHandle hwndOwner) override;
    // Clobbers the last-error value, as destroying a real window may.
    void Destroy() override;
    void SetStatusText(const std::string& strText) override { m_log.push_back("progress.Text " + strText); }
    BOOL CheckCancel() override;
    int SetProgressPos(int nPos) override;
    void Activate() override { m_log.push_back("progress.Activate"); }

    // Set by a click on Cancel, cleared by CheckCancel.
    int m_nCancel = 0;
    int m_nPos = 0;

private:
    EventLog& m_log;
    WindowHandle m_hwndMain;
};

// A user's action in the read-only dialog.
struct DialogAction {
    enum Kind { CLICK_CHECKBOX, PRESS } kind;
    int nValue;  // the new check state, or the button id
};

class RecordingReadOnlyDialog : public CReadOnlyPrompt {
public:
    explicit RecordingReadOnlyDialog(EventLog& log) : m_log(log) {}
    // Logs the text and the check box as opened, then plays the actions
    // until one of them ends the dialog.
    INT_PTR DoModal() override;

    std::deque<DialogAction> m_actions;

private:
    EventLog& m_log;
};

class RecordingWizard : public IWizard {
public:
    RecordingWizard(EventLog& log, INT_PTR nResult) : m_log(log), m_nResult(nResult) {}
    ~RecordingWizard() override { m_log.push_back("wizard.Destroy"); }
    void ClearHelpFlag() override { m_log.push_back("wizard.ClearHelpFlag"); }
    INT_PTR DoModal() override;

private:
    EventLog& m_log;
    INT_PTR m_nResult;
};

class RecordingWindow : public ISetupWindow {
public:
    explicit RecordingWindow(EventLog& log);

    WindowHandle GetHandle() const override { return m_hwnd; }
    void SetWindowIcon(BOOL bBigIcon) override { m_log.push_back("main.SetWindowIcon " + std::to_string(bBigIcon)); }
    void SetCaption(const std::string& strCaption) override { m_log.push_back("main.SetCaption [" + strCaption + "]"); }
    void Show(int nCmdShow) override { m_log.push_back("main.Show " + std::to_string(nCmdShow)); }
    void Repaint() override { m_log.push_back("main.Repaint"); }
    IStatusPopup& GetStatusPopup() override { return m_status; }
    ICopyProgress& GetCopyProgress() override { return m_progress; }
    CReadOnlyPrompt& GetReadOnlyDialog() override { return m_readOnly; }
    std::unique_ptr<IWizard> CreateWizard() override;

    INT_PTR m_nWizardResult = ID_WIZFINISH;
    RecordingStatusPopup m_status;
    RecordingCopyProgress m_progress;
    RecordingReadOnlyDialog m_readOnly;

private:
    EventLog& m_log;
    WindowHandle m_hwnd;
};

// One run's stand-ins, installed as the process's engine, main window and
// message box presenter for the life of the object.
class RecordingRun {
public:
    RecordingRun();
    ~RecordingRun();
    RecordingRun(const RecordingRun&) = delete;
    RecordingRun& operator=(const RecordingRun&) = delete;

    EventLog log;
    ScriptedEngine engine{log};
    RecordingWindow window{log};
    RecordingMessageBox boxes{log};

private:
    ISetupEngine* m_pPreviousEngine;
    ISetupWindow* m_pPreviousWindow;
    IMessageBoxPresenter* m_pPreviousPresenter;
};

#include "tests/app/recording_ui.h"

#include <gtest/gtest.h>

namespace {

std::string OwnerName(WindowHandle hwndOwner, WindowHandle hwndMain)
{
    return hwndOwner == hwndMain ? "main" : "other";
}

}  // namespace

BOOL ScriptedEngine::LoadInstallInfo(SetupCallback pfnCallback)
{
    m_pfnCallback = pfnCallback;
    return Run("LoadInstallInfo");
}

BOOL ScriptedEngine::CopyFiles()
{
    if (m_copyWork) {
        m_log.push_back("engine.CopyFiles");
        return m_copyWork();
    }
    return Run("CopyFiles");
}

void ScriptedEngine::SetInfoText(const char* pszText)
{
    m_log.push_back(std::string("engine.SetInfoText ") + (pszText != nullptr ? pszText : "(none)"));
}

BOOL ScriptedEngine::Run(const std::string& strOp)
{
    m_log.push_back("engine." + strOp);
    const OpResult result = m_results[strOp];
    if (!result.bResult)
        SetLastError(result.dwError);
    return result.bResult;
}

int RecordingMessageBox::Show(const char* pszCaption, const std::string& strText, UINT nStyle)
{
    m_captions.push_back(pszCaption);
    m_log.push_back("box " + std::to_string(nStyle) + " " + strText);
    if (!m_answers.empty()) {
        const int nAnswer = m_answers.front();
        m_answers.pop_front();
        return nAnswer;
    }
    if ((nStyle & MB_TYPEMASK) == MB_OK)
        return IDOK;
    ADD_FAILURE() << "unscripted question: " << strText;
    return IDCANCEL;
}

BOOL RecordingStatusPopup::Create(WindowHandle hwndOwner)
{
    EXPECT_FALSE(m_bExists) << "status popup created twice";
    m_bExists = true;
    m_log.push_back("status.Create " + OwnerName(hwndOwner, m_hwndMain));
    return TRUE;
}

void RecordingStatusPopup::Destroy()
{
    m_bExists = false;
    m_log.push_back("status.Destroy");
}

BOOL RecordingCopyProgress::Create(WindowHandle hwndOwner)
{
    m_log.push_back("progress.Create " + OwnerName(hwndOwner, m_hwndMain));
    return TRUE;
}

void RecordingCopyProgress::Destroy()
{
    m_log.push_back("progress.Destroy");
    SetLastError(ERROR_SUCCESS);
}

BOOL RecordingCopyProgress::CheckCancel()
{
    m_log.push_back("progress.CheckCancel");
    const BOOL bCancel = m_nCancel != 0;
    m_nCancel = 0;
    return bCancel;
}

int RecordingCopyProgress::SetProgressPos(int nPos)
{
    m_log.push_back("progress.Pos " + std::to_string(nPos));
    const int nPrevious = m_nPos;
    m_nPos = nPos;
    return nPrevious;
}

INT_PTR RecordingReadOnlyDialog::DoModal()
{
    m_log.push_back("readonly.Open [" + GetText() + "] check " + std::to_string(m_nDontShowAgain));
    while (!m_actions.empty()) {
        const DialogAction action = m_actions.front();
        m_actions.pop_front();
        if (action.kind == DialogAction::CLICK_CHECKBOX) {
            OnDontShowAgainClicked(action.nValue);
            continue;
        }
        const INT_PTR nResult = OnCommand(action.nValue);
        if (nResult != 0) {
            m_log.push_back("readonly.End " + std::to_string(nResult));
            return nResult;
        }
    }
    ADD_FAILURE() << "read-only dialog still open after the scripted actions";
    return 0;
}

INT_PTR RecordingWizard::DoModal()
{
    m_log.push_back("wizard.DoModal");
    return m_nResult;
}

RecordingWindow::RecordingWindow(EventLog& log)
    : m_status(log, reinterpret_cast<WindowHandle>(0x102)),
      m_progress(log, reinterpret_cast<WindowHandle>(0x102)),
      m_readOnly(log),
      m_log(log),
      m_hwnd(reinterpret_cast<WindowHandle>(0x102))
{
}

std::unique_ptr<IWizard> RecordingWindow::CreateWizard()
{
    m_log.push_back("wizard.Construct");
    return std::unique_ptr<IWizard>(new RecordingWizard(m_log, m_nWizardResult));
}

RecordingRun::RecordingRun()
    : m_pPreviousEngine(SetSetupEngine(&engine)),
      m_pPreviousWindow(SetMainSetupWindow(&window)),
      m_pPreviousPresenter(SetMessageBoxPresenter(&boxes))
{
}

RecordingRun::~RecordingRun()
{
    SetMessageBoxPresenter(m_pPreviousPresenter);
    SetMainSetupWindow(m_pPreviousWindow);
    SetSetupEngine(m_pPreviousEngine);
}

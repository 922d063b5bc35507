#include "app/setup_app.h"

#include <windows.h>
#include <commctrl.h>

#include "app/engine_callback.h"
#include "app/install_sequence.h"
#include "app/setup_dlg.h"
#include "app/setup_instance.h"
#include "app/unattended_window.h"
#include "framework/main_window.h"
#include "framework/message_box_win32.h"
#include "framework/unattended_answers.h"
#include "platform/log_file.h"
#include "platform/version.h"
#include "res/resource.h"

namespace {

// The program's own version, for the first line of the log.
std::string OwnVersion()
{
    char szPath[MAX_PATH];
    const DWORD dwLength = GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string astrStrings[VERSTR_COUNT];
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return std::string();
    ReadVersionStrings(szPath, astrStrings);
    return astrStrings[VERSTR_FILEVERSION];
}

}  // namespace

CSetupApp::CSetupApp()
{
    SetSetupEngine(&m_engine);
}

CSetupApp::~CSetupApp()
{
    if (GetSetupEngine() == &m_engine)
        SetSetupEngine(nullptr);
}

int CSetupApp::Run()
{
    SetupOptions options;
    std::string strError;
    const BOOL bParsed = ParseCommandLine(GetCommandLineA(), options, strError);
    // Unattended nothing may show, not even what is wrong with the command line.
    CUnattendedAnswers unattended;
    CWin32MessageBox boxes;
    IMessageBoxPresenter* pPrevious =
        SetMessageBoxPresenter(options.bUnattended ? static_cast<IMessageBoxPresenter*>(&unattended) : &boxes);

    SetupOutcome outcome = OUTCOME_BAD_COMMAND_LINE;
    CLogFile log;
    if (!options.strLog.empty() && !log.Open(options.strLog)) {
        const unsigned long ulError = GetLastError();
        ShowCommandLineError(FormatText("The log file \"%s\" cannot be created (error %lu).", options.strLog.c_str(),
                                        ulError));
    } else {
        // Open before anything is changed, so that it tells of every change.
        IEventLog* pPreviousLog = SetEventLog(options.strLog.empty() ? nullptr : &log);
        LogEvent("Setup %s started: %s", OwnVersion().c_str(), GetCommandLineA());
        if (!bParsed)
            ShowCommandLineError(strError);
        else
            outcome = RunAlone(options);
        LogEvent("Exit code %lu", static_cast<unsigned long>(ExitCodeOf(outcome, options.bUnattended)));
        SetEventLog(pPreviousLog);
    }
    SetMessageBoxPresenter(pPrevious);
    return static_cast<int>(ExitCodeOf(outcome, options.bUnattended));
}

SetupOutcome CSetupApp::RunAlone(const SetupOptions& options)
{
    // A second copy of this product's setup ends here, before any window. A
    // description that cannot be read names no product: the load reports it.
    // Unattended, the copy that runs is not disturbed either.
    CSetupInstance instance;
    if (m_engine.ReadSourceIdentity() && !instance.Claim(m_engine.GetProductId())) {
        LogEvent("Another setup of this product is running.");
        if (!options.bUnattended)
            instance.BringRunningCopyForward();
        return OUTCOME_ALREADY_RUNNING;
    }
    return options.bUnattended ? RunUnattended(options) : RunAtTheScreen(options, instance.GetProductId());
}

SetupOutcome CSetupApp::RunAtTheScreen(const SetupOptions& options, DWORD dwProductId)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    CDialog::RegisterOwnClass(SETUP_WINDOW_CLASS);
    CSetupDlg dlg(options, dwProductId);
    if (dlg.DoModal() == -1)
        LogEvent("The main window cannot be created: error %lu", GetLastError());
    SetMainWindow(nullptr);
    return dlg.GetOutcome();
}

SetupOutcome CSetupApp::RunUnattended(const SetupOptions& options)
{
    // Without a shell to answer, the program group is made of shell links;
    // later disks are looked for in the folders beside the first one.
    m_engine.m_bProgmanRequired = FALSE;
    m_engine.m_bVolumeFolders = TRUE;
    CUnattendedWindow window(options);
    return RunInstallAndReport(window, UnattendedEngineCallback);
}

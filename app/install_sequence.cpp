#include "app/install_sequence.h"

#include <memory>

#include "engine/engine_interface.h"
#include "framework/event_log.h"
#include "framework/format_text.h"
#include "framework/message_box.h"
#include "app/setup_texts.h"
#include "app/setup_window.h"

namespace {

const char* const TEXT_NOT_FINISHED = "The Setup was not finished completely.";
const char* const TEXT_COMPLETED = "The Setup was completed successfully.";

// The copy phase's own codes are reported here; any other failure (the user
// quit, or the engine has already told the user through the callback) is not.
bool IsCopyErrorToReport(DWORD dwError)
{
    return dwError >= SETUP_E_VERSION && dwError <= SETUP_E_COPY;
}

// The log names every failure with its code; the user sees its text.
void LogFailure(const char* pszPhase, DWORD dwError)
{
    LogEvent("%s failed: error 0x%08lX", pszPhase, static_cast<unsigned long>(dwError));
}

void ShowStatus(IModelessDisplay& status, const char* pszText)
{
    LogEvent("%s", pszText);
    status.SetStatusText(pszText);
}

std::string RegistryFailureText(DWORD dwError)
{
    if (dwError == ERROR_ACCESS_DENIED)
        return "The access to the Registry has been denieded.\r\nSetup is cancelled.";
    return "There has occurred an error during accessing the Registry.\r\nSetup is cancelled.";
}

// The phases after the wizard: done, or quit or failed and rolled back. The
// status popup stays up after a failure until the main window goes.
SetupOutcome InstallChosenProduct(ISetupEngine& engine, ISetupWindow& window)
{
    ICopyProgress& progress = window.GetCopyProgress();
    progress.Create(window.GetHandle());
    const BOOL bCopied = engine.CopyFiles();
    // Read before the dialog goes: destroying a window may change the value.
    const DWORD dwCopyError = GetLastError();
    progress.Destroy();
    if (!bCopied) {
        LogFailure("Copying files", dwCopyError);
        if (dwCopyError == SETUP_E_DAMAGED)
            SetupMessageBox(DamagedFileText(engine.GetDamagedFile()), MB_OK | MB_ICONSTOP);
        else if (IsCopyErrorToReport(dwCopyError))
            SetupMessageBox(SETUP_TEXT_GENERAL_ERROR, MB_OK | MB_ICONSTOP);
        engine.Rollback();
        return dwCopyError == SETUP_E_CANCELLED ? OUTCOME_USER_QUIT : OUTCOME_FAILED;
    }

    IStatusPopup& status = window.GetStatusPopup();
    status.Create(window.GetHandle());
    ShowStatus(status, "Updating system...");
    if (!engine.UpdateRegistry()) {
        const DWORD dwError = GetLastError();
        LogFailure("Updating the registry", dwError);
        SetupMessageBox(RegistryFailureText(dwError), MB_OK | MB_ICONSTOP);
        engine.Rollback();
        return OUTCOME_FAILED;
    }
    engine.RegisterDlls();

    ShowStatus(status, "Creating Program Folder...");
    if (!engine.CreateProgramFolder()) {
        LogFailure("Creating the program folder", GetLastError());
        SetupMessageBox("The creation of the Program Folder has failed.", MB_OK);
    }

    ShowStatus(status, "Saving install-informations...");
    engine.SetInfoText(nullptr);
    if (!engine.SaveInstallRecord()) {
        LogFailure("Saving the install record", GetLastError());
        engine.Rollback();
        return OUTCOME_FAILED;
    }
    status.Destroy();
    engine.RunPostInstallHook();
    return OUTCOME_DONE;
}

// How a wizard that did not finish ended the run.
SetupOutcome WizardOutcome(INT_PTR nResult)
{
    switch (nResult) {
    case WIZARD_REFUSED:
        return OUTCOME_REFUSED;
    case WIZARD_BAD_PRESET:
        return OUTCOME_BAD_COMMAND_LINE;
    default:
        return OUTCOME_USER_QUIT;
    }
}

}  // namespace

std::string DamagedFileText(const DamagedFile& damage)
{
    const unsigned nFirst = damage.wFirstDisk + 1u, nLast = damage.wLastDisk + 1u;
    std::string strDisks = FormatText("disk %u", nFirst);
    if (nLast > nFirst)
        strDisks = FormatText(nLast == nFirst + 1 ? "disks %u and %u" : "disks %u to %u", nFirst, nLast);
    return FormatText("The file %s on %s is damaged. The Setup will be cancelled.", damage.strName.c_str(),
                      strDisks.c_str());
}

std::string LoadFailureText(DWORD dwError)
{
    switch (dwError) {
    case SETUP_E_NOINFO:
        return "Can't find the install-informations. The Setup will be cancelled.";
    case SETUP_E_BADINFO:
        return "There are errors in the install-informations. The Setup will be cancelled.";
    case SETUP_E_INIT:
        return "Error during initializing. Restart Windows an try the Setup again.";
    default:
        return SETUP_TEXT_GENERAL_ERROR;
    }
}

FinalMessage RunInstallSequence(ISetupWindow& window, SetupCallback pfnCallback)
{
    FinalMessage result;
    IStatusPopup& status = window.GetStatusPopup();
    status.Create(window.GetHandle());
    ShowStatus(status, "Initializing Setup...");
    status.Show(SW_SHOW);
    window.SetWindowIcon(TRUE);
    window.SetWindowIcon(FALSE);

    ISetupEngine* pEngine = GetSetupEngine();
    if (pEngine == nullptr || !pEngine->LoadInstallInfo(pfnCallback)) {
        const DWORD dwError = pEngine != nullptr ? GetLastError() : ERROR_INVALID_HANDLE;
        LogFailure("Loading the install information", dwError);
        result.nStyle = MB_OK | MB_ICONSTOP;
        result.strText =
            dwError == SETUP_E_DAMAGED ? DamagedFileText(pEngine->GetDamagedFile()) : LoadFailureText(dwError);
        result.outcome = OUTCOME_REFUSED;
        return result;
    }
    status.Destroy();

    window.SetCaption(pEngine->GetProductTitle() + " Setup");
    window.Show(SW_SHOWMAXIMIZED);
    window.Repaint();
    result.strText = TEXT_NOT_FINISHED;

    std::unique_ptr<IWizard> pWizard = window.CreateWizard();
    pWizard->ClearHelpFlag();
    const INT_PTR nWizard = pWizard->DoModal();
    if (nWizard != ID_WIZFINISH) {
        result.outcome = WizardOutcome(nWizard);
        return result;
    }
    window.Repaint();  // the area the wizard covered

    result.outcome = InstallChosenProduct(*pEngine, window);
    if (result.outcome == OUTCOME_DONE)
        result.strText = TEXT_COMPLETED;
    return result;
}

SetupOutcome RunInstallAndReport(ISetupWindow& window, SetupCallback pfnCallback)
{
    const FinalMessage message = RunInstallSequence(window, pfnCallback);
    SetupMessageBox(message.strText, message.nStyle);
    return message.outcome;
}

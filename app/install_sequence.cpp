#include "app/install_sequence.h"

#include <memory>

#include "app/engine_callback.h"
#include "engine/engine_interface.h"
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

std::string RegistryFailureText(DWORD dwError)
{
    if (dwError == ERROR_ACCESS_DENIED)
        return "The access to the Registry has been denieded.\r\nSetup is cancelled.";
    return "There has occurred an error during accessing the Registry.\r\nSetup is cancelled.";
}

// The phases after the wizard; FALSE when the install was rolled back.
// The status popup stays up after a failure until the main window goes.
BOOL InstallChosenProduct(ISetupEngine& engine, ISetupWindow& window)
{
    ICopyProgress& progress = window.GetCopyProgress();
    progress.Create(window.GetHandle());
    const BOOL bCopied = engine.CopyFiles();
    // Read before the dialog goes: destroying a window may change the value.
    const DWORD dwCopyError = GetLastError();
    progress.Destroy();
    if (!bCopied) {
        if (dwCopyError == SETUP_E_DAMAGED)
            SetupMessageBox(DamagedFileText(engine.GetDamagedFile()), MB_OK | MB_ICONSTOP);
        else if (IsCopyErrorToReport(dwCopyError))
            SetupMessageBox(SETUP_TEXT_GENERAL_ERROR, MB_OK | MB_ICONSTOP);
        engine.Rollback();
        return FALSE;
    }

    IStatusPopup& status = window.GetStatusPopup();
    status.Create(window.GetHandle());
    status.SetStatusText("Updating system...");
    if (!engine.UpdateRegistry()) {
        SetupMessageBox(RegistryFailureText(GetLastError()), MB_OK | MB_ICONSTOP);
        engine.Rollback();
        return FALSE;
    }
    engine.RegisterDlls();

    status.SetStatusText("Creating Program Folder...");
    if (!engine.CreateProgramFolder())
        SetupMessageBox("The creation of the Program Folder has failed.", MB_OK);

    status.SetStatusText("Saving install-informations...");
    engine.SetInfoText(nullptr);
    if (!engine.SaveInstallRecord()) {
        engine.Rollback();
        return FALSE;
    }
    status.Destroy();
    engine.RunPostInstallHook();
    return TRUE;
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

FinalMessage RunInstallSequence(ISetupWindow& window)
{
    FinalMessage result;
    IStatusPopup& status = window.GetStatusPopup();
    status.Create(window.GetHandle());
    status.SetStatusText("Initializing Setup...");
    status.Show(SW_SHOW);
    window.SetWindowIcon(TRUE);
    window.SetWindowIcon(FALSE);

    ISetupEngine* pEngine = GetSetupEngine();
    if (pEngine == nullptr || !pEngine->LoadInstallInfo(EngineCallback)) {
        const DWORD dwError = pEngine != nullptr ? GetLastError() : ERROR_INVALID_HANDLE;
        result.nStyle = MB_OK | MB_ICONSTOP;
        result.strText =
            dwError == SETUP_E_DAMAGED ? DamagedFileText(pEngine->GetDamagedFile()) : LoadFailureText(dwError);
        return result;
    }
    status.Destroy();

    window.SetCaption(pEngine->GetProductTitle() + " Setup");
    window.Show(SW_SHOWMAXIMIZED);
    window.Repaint();
    result.strText = TEXT_NOT_FINISHED;

    std::unique_ptr<IWizard> pWizard = window.CreateWizard();
    pWizard->ClearHelpFlag();
    if (pWizard->DoModal() != ID_WIZFINISH)
        return result;
    window.Repaint();  // the area the wizard covered

    if (InstallChosenProduct(*pEngine, window))
        result.strText = TEXT_COMPLETED;
    return result;
}

void RunInstallAndReport(ISetupWindow& window)
{
    const FinalMessage message = RunInstallSequence(window);
    SetupMessageBox(message.strText, message.nStyle);
}

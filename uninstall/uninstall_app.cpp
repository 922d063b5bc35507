#include "uninstall/uninstall_app.h"

#include <windows.h>

#include "framework/message_box.h"
#include "model/install_mngr.h"
#include "model/media_format.h"
#include "platform/path.h"
#include "uninstall/machine_state_win32.h"
#include "uninstall/record_file.h"
#include "uninstall/removal.h"
#include "uninstall/removal_progress_dlg.h"
#include "uninstall/removal_texts.h"
#include "uninstall/self_copy.h"
#include "uninstall/shared_file_dlg.h"

namespace {

// One removal at a time: two at once would count the shared files down twice.
const char REMOVAL_MUTEX[] = "Local\\VantlerUninstall";

// A path as the system reports it in a buffer of MAX_PATH characters; "" when it did not fit.
std::string TakePath(DWORD dwLength, const char* pszBuffer)
{
    return dwLength == 0 || dwLength >= MAX_PATH ? std::string() : std::string(pszBuffer, dwLength);
}

// This program's file in its long form, as the install wrote D.
std::string ProgramPath()
{
    char szPath[MAX_PATH];
    const std::string strPath = TakePath(GetModuleFileNameA(nullptr, szPath, MAX_PATH), szPath);
    char szLong[MAX_PATH];
    const std::string strLong = TakePath(GetLongPathNameA(strPath.c_str(), szLong, MAX_PATH), szLong);
    return strLong.empty() ? strPath : strLong;
}

std::string SystemDirectory()
{
    char szPath[MAX_PATH];
    return TakePath(GetSystemDirectoryA(szPath, MAX_PATH), szPath);
}

DWORD Tell(const RemovalMessage& message)
{
    SetupMessageBox(message.strText, message.nStyle);
    return message.dwExitCode;
}

// The removal itself, from the question to the final box; the exit code.
// bComplete: the Uninstall entry and the record went, so Uninst.exe and D
// may go too once the started program has ended.
DWORD Remove(CInstallMngr& record, const std::string& strDestDir, CRemoval& removal, RemovalPlan& plan,
             bool& bComplete)
{
    bComplete = false;
    if (SetupMessageBox(ConfirmationText(record.m_strProductTitle), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return SETUP_EXIT_USER_QUIT;

    CMachineState machine;
    CSharedFileDlg question;
    CRemovalPlanner planner(record, machine, question);
    planner.Plan(strDestDir, SystemDirectory(), plan);

    CRemovalProgressDlg progress;
    progress.Create();
    removal.SetProgress(&progress, plan.steps.size() + plan.tail.size());
    removal.m_remaining = plan.remaining;
    // The Uninstall entry and the record stay after a failure, so that the
    // removal can be started again and finish.
    bComplete = removal.Run(plan.steps) && removal.Run(plan.tail, true);
    removal.SetProgress(nullptr, 0);
    progress.DestroyWindow();
    if (bComplete)
        removal.NoteLeftovers(strDestDir, UNINSTALLER_NAME);
    return Tell(FinalMessage(record.m_strProductTitle, removal.m_remaining));
}

}  // namespace

int RunStartedUninstaller()
{
    CCopyLauncher launcher;
    if (!launcher.Start(ProgramPath()))
        return static_cast<int>(Tell(CopyFailureMessage(GetLastError())));
    return static_cast<int>(launcher.WaitForExitCode());
}

int RunRemoval(const CopyCommand& command)
{
    CStartedProcess started(command);
    const CKernelHandle single(CreateMutexA(nullptr, TRUE, REMOVAL_MUTEX));
    if (!single.Get() || GetLastError() == ERROR_ALREADY_EXISTS) {
        started.ReportExitCode(Tell(BusyMessage()));
        return static_cast<int>(SETUP_EXIT_ALREADY_RUNNING);
    }

    const std::string strDestDir = DirectoryPart(command.strStarted);
    const std::string strRecord = strDestDir + "\\" + INSTALL_RECORD_NAME;
    CInstallMngr record;
    CRemoval removal(record, strRecord);
    RemovalPlan plan;
    bool bComplete = false;
    DWORD dwCode;
    if (const DWORD dwError = LoadInstallRecord(strRecord, record))
        dwCode = Tell(RecordFailureMessage(strRecord, dwError));
    else if (!RecordDescribes(record, strDestDir))
        dwCode = Tell(ForeignRecordMessage(strRecord, record.m_strDestDir));
    else
        dwCode = Remove(record, strDestDir, removal, plan, bComplete);
    started.ReportExitCode(dwCode);

    if (bComplete) {
        started.WaitForEnd();
        removal.Run(plan.last);
    }
    return static_cast<int>(dwCode);
}

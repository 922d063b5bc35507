#include "uninstall/uninstall_app.h"

#include <windows.h>

#include "framework/event_log.h"
#include "framework/format_text.h"
#include "framework/message_box.h"
#include "model/install_mngr.h"
#include "model/media_format.h"
#include "platform/log_file.h"
#include "platform/path.h"
#include "uninstall/machine_state_win32.h"
#include "uninstall/record_file.h"
#include "uninstall/removal.h"
#include "uninstall/removal_progress_dlg.h"
#include "uninstall/removal_texts.h"
#include "uninstall/resource.h"
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

// The log's path as the copy, which works in another directory, finds it;
// "" when there is none.
std::string FullPath(const std::string& strPath)
{
    char szPath[MAX_PATH];
    return strPath.empty() ? std::string() : TakePath(GetFullPathNameA(strPath.c_str(), MAX_PATH, szPath, nullptr), szPath);
}

DWORD Tell(const RemovalMessage& message)
{
    SetupMessageBox(message.strText, message.nStyle);
    return message.dwExitCode;
}

// Unattended, nobody can tell whether another program still needs a shared
// file that no program is counted as using: it stays, the safe answer.
class CKeepSharedFiles : public ISharedFileQuestion {
public:
    SharedAnswer AskRemoveSharedFile(const std::string&) override { return SHARED_UNASKED; }
};

// The log named on the command line, the program's event log while it lives.
class CRunLog {
public:
    CRunLog() = default;
    ~CRunLog() { SetEventLog(nullptr); }
    CRunLog(const CRunLog&) = delete;
    CRunLog& operator=(const CRunLog&) = delete;

    // FALSE with the platform's error when strPath cannot be opened.
    BOOL Open(const std::string& strPath)
    {
        if (!m_file.Open(strPath))
            return FALSE;
        SetEventLog(&m_file);
        return TRUE;
    }

private:
    CLogFile m_file;
};

// The removal itself, from the question to the final box; the exit code.
// bComplete: the Uninstall entry and the record went, so Uninst.exe and D
// may go too once the started program has ended.
DWORD Remove(CInstallMngr& record, const std::string& strDestDir, bool bUnattended, CRemoval& removal,
             RemovalPlan& plan, bool& bComplete)
{
    bComplete = false;
    if (SetupMessageBox(ConfirmationText(record.m_strProductTitle), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return SETUP_EXIT_USER_QUIT;

    CMachineState machine;
    CSharedFileDlg dialog;
    CKeepSharedFiles keep;
    CRemovalPlanner planner(record, machine, bUnattended ? static_cast<ISharedFileQuestion&>(keep) : dialog);
    planner.Plan(strDestDir, SystemDirectory(), plan);

    CRemovalProgressDlg progress;
    if (!bUnattended) {
        progress.Create();
        removal.SetProgress(&progress, plan.steps.size() + plan.tail.size());
    }
    removal.Keep(plan.remaining);
    // The Uninstall entry and the record stay after a failure, so that the
    // removal can be started again and finish.
    bComplete = removal.Run(plan.steps) && removal.Run(plan.tail, true);
    removal.SetProgress(nullptr, 0);
    if (!bUnattended)
        progress.DestroyWindow();
    if (bComplete)
        removal.NoteLeftovers(strDestDir, UNINSTALLER_NAME);
    return Tell(FinalMessage(record.m_strProductTitle, removal.m_remaining));
}

}  // namespace

int RunStartedUninstaller(const UninstallOptions& options, const std::string& strError)
{
    // Opened before anything is done, so that it tells of everything.
    const std::string strLog = FullPath(options.strLog);
    CRunLog log;
    if (!options.strLog.empty() && !log.Open(strLog)) {
        const unsigned long ulError = GetLastError();
        SetupMessageBox(UninstallUsageText(FormatText("The log file \"%s\" cannot be created (error %lu).",
                                                      options.strLog.c_str(), ulError)),
                        MB_OK | MB_ICONSTOP);
        return static_cast<int>(SETUP_EXIT_BAD_COMMAND_LINE);
    }
    LogEvent("Uninstall %s started: %s", UNINSTALL_VERSION_TEXT, GetCommandLineA());
    DWORD dwCode;
    CCopyLauncher launcher;
    UninstallOptions passed = options;
    passed.strLog = strLog;
    if (!strError.empty()) {
        SetupMessageBox(UninstallUsageText(strError), MB_OK | MB_ICONSTOP);
        dwCode = SETUP_EXIT_BAD_COMMAND_LINE;
    } else if (!launcher.Start(ProgramPath(), passed)) {
        dwCode = Tell(CopyFailureMessage(GetLastError()));
    } else {
        dwCode = launcher.WaitForExitCode();
    }
    LogEvent("Exit code %lu", static_cast<unsigned long>(dwCode));
    return static_cast<int>(dwCode);
}

int RunRemoval(const CopyCommand& command)
{
    CStartedProcess started(command);
    // The started program made the log: the copy adds its lines.
    CRunLog log;
    if (!command.options.strLog.empty())
        log.Open(command.options.strLog);
    const CKernelHandle single(CreateMutexA(nullptr, TRUE, REMOVAL_MUTEX));
    if (!single.Get() || GetLastError() == ERROR_ALREADY_EXISTS) {
        started.ReportExitCode(Tell(BusyMessage()));
        return static_cast<int>(SETUP_EXIT_ALREADY_RUNNING);
    }

    const std::string strDestDir = DirectoryPart(command.strStarted);
    const std::string strRecord = strDestDir + "\\" + INSTALL_RECORD_NAME;
    LogEvent("Install record: %s", strRecord.c_str());
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
        dwCode = Remove(record, strDestDir, command.options.bUnattended, removal, plan, bComplete);
    started.ReportExitCode(dwCode);

    if (bComplete) {
        started.WaitForEnd();
        removal.Run(plan.last);
    }
    return static_cast<int>(dwCode);
}

// Uninst.exe run as its own process and worked from outside, as a user
// would: started by its command line (the Uninstall entry's, as the Apps
// list starts it), each window that waits for the user is handed to the test
// first, and whatever the test leaves is answered as a user who agrees would
// (Yes, Yes to the shared file, OK). The windows belong to the program's copy
// in the temporary directory, the process the started one makes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/gui/gui_driver.h"

// A window of the removal that waits for the user, or the progress it shows.
struct UninstallWindow {
    enum Kind { BOX, SHARED_FILE, PROGRESS };
    Kind kind;
    HWND hwnd;
    gui::Box box;  // BOX
    std::string strText;  // SHARED_FILE: the question
};

// The uninstaller's copies in the temporary directory ("Un*.tmp"), where
// none may stay once a removal has ended.
std::vector<std::string> UninstallerCopies();

// Starts a command line as a deployment tool's service runs it, with no X
// display, so that no window can open and no shell answers for Program
// Manager. A Windows program that this process starts keeps its display
// whatever environment it is given, so the command goes through the Unix
// shell, whose environment is the one given, less DISPLAY. Wine gives no
// handle that signals such a process's end: wait for what the program leaves.
bool StartWithoutDisplay(const std::string& strCommandLine);

class CUninstallRun {
public:
    explicit CUninstallRun(const std::string& strCommandLine);
    ~CUninstallRun();  // what still runs is ended
    CUninstallRun(const CUninstallRun&) = delete;
    CUninstallRun& operator=(const CUninstallRun&) = delete;

    // PNG screenshots of the question, the progress and the final box go
    // here; none without a folder.
    std::string m_strShots;
    bool m_bVerbose = true;

    bool Start();
    // Works the removal until the started process ends or dwTimeout passed;
    // onWindow sees each window first and returns true when it has handled
    // it. Folder windows that Program Manager opens are closed. The final
    // message, or "" when none came.
    std::string Run(const std::function<bool(const UninstallWindow&)>& onWindow = nullptr, DWORD dwTimeout = 120000);
    void Default(const UninstallWindow& window);

    // The started process's exit code, or STILL_ACTIVE after dwTimeout.
    DWORD Wait(DWORD dwTimeout);
    // Waits until the copy has ended too (it removes Uninst.exe and D after
    // the started process): true when it did within dwTimeout.
    bool WaitForCopy(DWORD dwTimeout);

    // Every box text and every shared file asked about, in order; the last
    // box that had only OK.
    std::vector<std::string> m_astrBoxes;
    std::vector<std::string> m_astrShared;
    std::string m_strFinal;

private:
    bool IsOurs(HWND hwnd) const;
    bool Next(UninstallWindow& window) const;
    void Report(const UninstallWindow& window);
    void Shot(HWND hwnd, const std::string& strName);
    void FindCopy();

    std::string m_strCommandLine;
    PROCESS_INFORMATION m_pi = {};
    HANDLE m_hCopy = nullptr;
    DWORD m_dwCopyId = 0;
    HWND m_hwndLastShared = nullptr;
    bool m_bShotProgress = false;
};

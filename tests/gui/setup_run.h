// Setup.exe run as its own process and worked from outside, as a user
// would: each window it shows that waits for the user is handed to the
// test first, and whatever the test leaves is answered as a user who takes
// every default would (Next, Finish, Yes, the next disk, OK).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/gui/gui_driver.h"

// A window of Setup.exe that waits for the user, or the progress it shows.
struct SetupWindow {
    enum Kind { WIZARD, BOX, READ_ONLY, COPYING };
    Kind kind;
    HWND hwnd;
    int nPage = -1;  // WIZARD: the page shown, 0 to 2
    gui::Box box;    // BOX
};

class CSetupRun {
public:
    // strSetup lies in a scratch copy of disk 1 (its Data.dat is replaced
    // when the next disk goes in); astrDisks: the folders of disks 2, 3, ...
    CSetupRun(const std::string& strSetup, const std::vector<std::string>& astrDisks);
    ~CSetupRun();  // a copy still running is ended
    CSetupRun(const CSetupRun&) = delete;
    CSetupRun& operator=(const CSetupRun&) = delete;

    // PNG screenshots of the pages, the displays and the last box go here;
    // none without a folder.
    std::string m_strShots;
    // Progress, boxes and screenshots are printed as they come.
    bool m_bVerbose = true;
    // What follows the program's name on its command line.
    std::string m_strArgs;

    bool Start();
    // Works Setup.exe until it ends or dwTimeout passed. onWindow sees each
    // window first and returns TRUE when it has handled it. Folder windows
    // that Wine's Program Manager opens on a new group are closed, as a user
    // would (while one is open the Wine server does not end).
    // The final message, or "" when none came.
    std::string Run(const std::function<bool(const SetupWindow&)>& onWindow = nullptr, DWORD dwTimeout = 120000);

    // What a user with the defaults does.
    void Default(const SetupWindow& window);
    // Copies disk nDisk's Data.dat (2 = the first of astrDisks) into the source folder.
    bool InsertDisk(unsigned nDisk);
    // Takes a screenshot of hwnd as m_strShots\NAME.png.
    void Shot(HWND hwnd, const std::string& strName);

    // Waits until the window most in need of an answer is of this kind; nullptr when none came.
    HWND WaitFor(SetupWindow::Kind kind, DWORD dwTimeout = gui::WAIT_MS) const;
    // The process's visible main window, and its visible window of this caption.
    HWND MainWindow() const;
    HWND Window(const char* pszCaption) const;
    bool IsRunning() const;
    // Waits for the end; the exit code, or STILL_ACTIVE after dwTimeout.
    DWORD Wait(DWORD dwTimeout);
    // Holds Setup.exe's thread still, so that messages pile up unread, and lets it go on.
    void Suspend() const { SuspendThread(m_pi.hThread); }
    void Resume() const { ResumeThread(m_pi.hThread); }

    // Every box text seen, in order, and the last box that only had OK.
    std::vector<std::string> m_astrBoxes;
    std::string m_strFinal;

private:
    bool IsOurs(HWND hwnd) const;
    // The window most in need of an answer: box, read-only dialog, wizard, copy progress.
    bool Next(SetupWindow& window) const;
    void Report(const SetupWindow& window);

    void CloseFolderWindows() const;

    std::string m_strSetup;
    std::string m_strSourceDir;
    std::vector<std::string> m_astrDisks;
    PROCESS_INFORMATION m_pi = {};
    int m_nLastPage = -1;
    HWND m_hwndLastReadOnly = nullptr;
    int m_nLastPercent = -1;
    std::string m_strLastFile;
    bool m_bShotProgress = false;
};

#include "tests/gui/setup_run.h"

#include <commctrl.h>

#include <cstdio>

#include "res/resource.h"

namespace {

const int WIZARD_NEXT = 0x3024;

int PageIndex(HWND hwndSheet)
{
    return static_cast<int>(
        SendMessageA(hwndSheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(gui::CurrentPage(hwndSheet)), 0));
}

BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam)
{
    if (IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

}  // namespace

CSetupRun::CSetupRun(const std::string& strSetup, const std::vector<std::string>& astrDisks)
    : m_strSetup(strSetup), m_strSourceDir(strSetup.substr(0, strSetup.find_last_of("\\/"))), m_astrDisks(astrDisks)
{
}

CSetupRun::~CSetupRun()
{
    if (m_pi.hProcess == nullptr)
        return;
    if (IsRunning()) {
        TerminateProcess(m_pi.hProcess, 1);
        WaitForSingleObject(m_pi.hProcess, 5000);
    }
    CloseHandle(m_pi.hThread);
    CloseHandle(m_pi.hProcess);
}

bool CSetupRun::Start()
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string strCommand = "\"" + m_strSetup + "\"";
    if (!m_strArgs.empty())
        strCommand += " " + m_strArgs;
    if (!CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, m_strSourceDir.c_str(), &si,
                        &m_pi)) {
        std::printf("cannot start %s (%lu)\n", m_strSetup.c_str(), GetLastError());
        return false;
    }
    if (m_bVerbose)
        std::printf("Setup.exe %s started from %s\n", m_strArgs.c_str(), m_strSourceDir.c_str());
    return true;
}

bool CSetupRun::IsRunning() const
{
    return m_pi.hProcess != nullptr && WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD CSetupRun::Wait(DWORD dwTimeout)
{
    DWORD dwExit = STILL_ACTIVE;
    if (WaitForSingleObject(m_pi.hProcess, dwTimeout) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_pi.hProcess, &dwExit);
    return dwExit;
}

bool CSetupRun::IsOurs(HWND hwnd) const
{
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hwnd, &dwProcess);
    return dwProcess == m_pi.dwProcessId;
}

HWND CSetupRun::MainWindow() const
{
    return gui::WaitForWindowIf([&](HWND h) { return IsOurs(h) && gui::ClassOf(h) == SETUP_WINDOW_CLASS; }, 0);
}

HWND CSetupRun::Window(const char* pszCaption) const
{
    return gui::WaitForWindowIf([&](HWND h) { return IsOurs(h) && gui::Caption(h) == pszCaption; }, 0);
}

bool CSetupRun::Next(SetupWindow& window) const
{
    std::vector<HWND> ahwnd;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&ahwnd));
    int nBest = 4;
    for (HWND hwnd : ahwnd) {
        if (!IsOurs(hwnd))
            continue;
        const std::string strCaption = gui::Caption(hwnd);
        int nRank = 4;
        SetupWindow::Kind kind = SetupWindow::COPYING;
        if (strCaption == "Setup" && gui::IsBox(hwnd)) {
            nRank = 0;
            kind = SetupWindow::BOX;
        } else if (strCaption == "Read-Only-File detected") {
            nRank = 1;
            kind = SetupWindow::READ_ONLY;
        } else if (GetDlgItem(hwnd, WIZARD_NEXT) != nullptr) {
            nRank = 2;
            kind = SetupWindow::WIZARD;
        } else if (strCaption == "Copying Files") {
            nRank = 3;
        }
        if (nRank < nBest) {
            nBest = nRank;
            window.kind = kind;
            window.hwnd = hwnd;
        }
    }
    if (nBest == 4)
        return false;
    if (window.kind == SetupWindow::BOX)
        window.box = gui::ReadBox(window.hwnd);
    if (window.kind == SetupWindow::WIZARD)
        window.nPage = PageIndex(window.hwnd);
    return window.kind != SetupWindow::BOX || window.box;
}

HWND CSetupRun::WaitFor(SetupWindow::Kind kind, DWORD dwTimeout) const
{
    SetupWindow window;
    if (gui::WaitUntil([&] { return Next(window) && window.kind == kind; }, dwTimeout))
        return window.hwnd;
    return nullptr;
}

void CSetupRun::CloseFolderWindows() const
{
    while (HWND hwnd = gui::WaitForWindow("ExplorerWClass", nullptr, 0)) {
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        if (!gui::WaitGone(hwnd, 2000))
            break;
    }
}

void CSetupRun::Shot(HWND hwnd, const std::string& strName)
{
    if (!m_strShots.empty() && gui::SaveScreenshot(hwnd, m_strShots + "\\" + strName + ".png") && m_bVerbose)
        std::printf("  screenshot %s.png\n", strName.c_str());
}

void CSetupRun::Report(const SetupWindow& window)
{
    switch (window.kind) {
    case SetupWindow::WIZARD:
        if (window.nPage == m_nLastPage)
            break;
        m_nLastPage = window.nPage;
        if (m_bVerbose)
            std::printf("Wizard page %d: %s\n", window.nPage + 1, gui::Caption(window.hwnd).c_str());
        Shot(window.hwnd, "setup-wizard-" + std::to_string(window.nPage + 1));
        break;
    case SetupWindow::BOX:
        if (m_bVerbose)
            std::printf("Box: %s\n", window.box.strText.c_str());
        m_astrBoxes.push_back(window.box.strText);
        if (window.box.nButtons == MB_OK) {
            m_strFinal = window.box.strText;
            Shot(window.hwnd, "setup-final-message");
        }
        break;
    case SetupWindow::READ_ONLY:
        if (window.hwnd == m_hwndLastReadOnly)
            break;
        m_hwndLastReadOnly = window.hwnd;
        if (m_bVerbose)
            std::printf("Read-only file: %s\n", gui::ItemText(window.hwnd, IDC_READ_ONLY_TEXT).c_str());
        Shot(window.hwnd, "setup-read-only-file");
        break;
    case SetupWindow::COPYING: {
        const int nPercent = static_cast<int>(SendDlgItemMessageA(window.hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0));
        const std::string strFile = gui::ItemText(window.hwnd, IDC_STATUS_TEXT);
        if (m_bVerbose && (nPercent != m_nLastPercent || strFile != m_strLastFile))
            std::printf("  %3d%%  %s\n", nPercent, strFile.c_str());
        m_nLastPercent = nPercent;
        m_strLastFile = strFile;
        if (!m_bShotProgress && nPercent > 0) {
            Shot(window.hwnd, "setup-copying-files");
            m_bShotProgress = true;
        }
        break;
    }
    }
}

bool CSetupRun::InsertDisk(unsigned nDisk)
{
    if (nDisk < 2 || nDisk - 2 >= m_astrDisks.size())
        return false;
    const std::string strFrom = m_astrDisks[nDisk - 2] + "\\Data.dat";
    const std::string strTo = m_strSourceDir + "\\Data.dat";
    if (m_bVerbose)
        std::printf("  disk %u goes in: %s -> %s\n", nDisk, strFrom.c_str(), strTo.c_str());
    return CopyFileA(strFrom.c_str(), strTo.c_str(), FALSE) != FALSE;
}

void CSetupRun::Default(const SetupWindow& window)
{
    switch (window.kind) {
    case SetupWindow::WIZARD: {
        HWND hwndSheet = window.hwnd;
        if (window.nPage < 2)
            gui::Press(hwndSheet, WIZARD_NEXT);
        else
            PostMessageA(hwndSheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);  // the sheet may block in a box
        gui::WaitUntil([&] {
            SetupWindow next;
            return !IsWindowVisible(hwndSheet) || PageIndex(hwndSheet) != window.nPage ||
                   (Next(next) && next.kind == SetupWindow::BOX);
        });
        break;
    }
    case SetupWindow::BOX: {
        const gui::Box& box = window.box;
        unsigned nDisk = 0;
        char chDrive = 0;
        if (std::sscanf(box.strText.c_str(), "Insert the disk %u in %c: !", &nDisk, &chDrive) == 2) {
            if (HWND hwndMain = MainWindow())
                Shot(hwndMain, "setup-main-window");
            gui::Answer(box, InsertDisk(nDisk) ? IDOK : IDCANCEL);
        } else if (box.nButtons == MB_YESNO) {
            gui::Answer(box, IDYES);
        } else if (box.nButtons == MB_RETRYCANCEL) {
            gui::Answer(box, IDCANCEL);
        } else {
            gui::Answer(box, IDOK);
        }
        break;
    }
    case SetupWindow::READ_ONLY:
        gui::Press(window.hwnd, IDOK);  // "&Yes", the default button
        gui::WaitGone(window.hwnd);
        break;
    case SetupWindow::COPYING:
        Sleep(10);
        break;
    }
}

std::string CSetupRun::Run(const std::function<bool(const SetupWindow&)>& onWindow, DWORD dwTimeout)
{
    const DWORD dwStart = GetTickCount();
    while (IsRunning() && GetTickCount() - dwStart < dwTimeout) {
        CloseFolderWindows();
        SetupWindow window;
        if (!Next(window)) {
            Sleep(10);
            continue;
        }
        Report(window);
        if (!onWindow || !onWindow(window))
            Default(window);
    }
    return m_strFinal;
}

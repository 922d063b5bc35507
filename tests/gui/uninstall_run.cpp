#include "tests/gui/uninstall_run.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include "uninstall/resource.h"

namespace {

const char* const BOX_CAPTION = "Uninstall";
const char* const SHARED_CAPTION = "Remove Shared File?";
const char* const PROGRESS_CAPTION = "Removing Files";

BOOL CALLBACK Collect(HWND hwnd, LPARAM lParam)
{
    if (IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

// This process's environment but for the X display.
std::string EnvironmentWithoutDisplay()
{
    std::string strBlock;
    char* pszStrings = GetEnvironmentStringsA();
    for (const char* psz = pszStrings; *psz; psz += std::strlen(psz) + 1) {
        if (_strnicmp(psz, "DISPLAY=", 8) != 0)
            strBlock.append(psz, std::strlen(psz) + 1);
    }
    FreeEnvironmentStringsA(pszStrings);
    return strBlock + '\0';
}

// The uninstaller's copy in the temporary directory: Un*.tmp.
bool IsCopyName(const char* pszFile)
{
    const size_t nLength = std::strlen(pszFile);
    return nLength > 6 && _strnicmp(pszFile, "Un", 2) == 0 && _stricmp(pszFile + nLength - 4, ".tmp") == 0;
}

// hLater was created no earlier than hEarlier.
bool StartedAfter(HANDLE hLater, HANDLE hEarlier)
{
    FILETIME ftLater, ftEarlier, ftUnused[3];
    if (!GetProcessTimes(hLater, &ftLater, &ftUnused[0], &ftUnused[1], &ftUnused[2]) ||
        !GetProcessTimes(hEarlier, &ftEarlier, &ftUnused[0], &ftUnused[1], &ftUnused[2]))
        return false;
    return CompareFileTime(&ftLater, &ftEarlier) >= 0;
}

bool WaitFor(HANDLE hProcess, DWORD dwTimeout)
{
    return hProcess == nullptr || WaitForSingleObject(hProcess, dwTimeout) == WAIT_OBJECT_0;
}

}  // namespace

std::vector<std::string> UninstallerCopies()
{
    std::vector<std::string> copies;
    char szTemp[MAX_PATH];
    const DWORD dwLength = GetTempPathA(MAX_PATH, szTemp);
    if (dwLength == 0 || dwLength >= MAX_PATH)
        return copies;
    WIN32_FIND_DATAA data;
    const HANDLE hFind = FindFirstFileA((std::string(szTemp) + "Un*.tmp").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return copies;
    do
        copies.push_back(data.cFileName);
    while (FindNextFileA(hFind, &data));
    FindClose(hFind);
    return copies;
}

bool StartWithoutDisplay(const std::string& strCommandLine)
{
    // The shell runs the loader with the command's arguments as Windows split them.
    std::string strLine = "Z:\\bin\\sh -c \"exec /usr/lib/wine/wine64 \\\"$0\\\" \\\"$@\\\"\" " + strCommandLine;
    std::string strEnvironment = EnvironmentWithoutDisplay();
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &strLine[0], nullptr, nullptr, FALSE, 0, &strEnvironment[0], nullptr, &si, &pi)) {
        std::printf("cannot start %s (%lu)\n", strLine.c_str(), GetLastError());
        return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

CUninstallRun::CUninstallRun(const std::string& strCommandLine) : m_strCommandLine(strCommandLine) {}

CUninstallRun::~CUninstallRun()
{
    for (HANDLE hProcess : {m_pi.hProcess, m_hCopy}) {
        if (hProcess == nullptr)
            continue;
        if (!WaitFor(hProcess, 0)) {
            TerminateProcess(hProcess, 1);
            WaitFor(hProcess, 5000);
        }
        CloseHandle(hProcess);
    }
    if (m_pi.hThread != nullptr)
        CloseHandle(m_pi.hThread);
}

bool CUninstallRun::Start()
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string strLine = m_strCommandLine;
    if (!CreateProcessA(nullptr, &strLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &m_pi)) {
        std::printf("cannot start %s (%lu)\n", m_strCommandLine.c_str(), GetLastError());
        return false;
    }
    if (m_bVerbose)
        std::printf("started %s\n", m_strCommandLine.c_str());
    return true;
}

// The copy is the process the started one made.
void CUninstallRun::FindCopy()
{
    if (m_hCopy != nullptr)
        return;
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL bMore = Process32First(hSnapshot, &entry); bMore && m_hCopy == nullptr;
         bMore = Process32Next(hSnapshot, &entry)) {
        // Process ids come back quickly under Wine: a process whose parent had
        // the started program's id before it is no copy of ours.
        if (entry.th32ParentProcessID != m_pi.dwProcessId || !IsCopyName(entry.szExeFile))
            continue;
        const HANDLE hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, entry.th32ProcessID);
        if (hProcess != nullptr && StartedAfter(hProcess, m_pi.hProcess)) {
            m_hCopy = hProcess;
            m_dwCopyId = entry.th32ProcessID;
        } else if (hProcess != nullptr) {
            CloseHandle(hProcess);
        }
    }
    CloseHandle(hSnapshot);
}

bool CUninstallRun::IsOurs(HWND hwnd) const
{
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hwnd, &dwProcess);
    return dwProcess == m_pi.dwProcessId || (m_dwCopyId != 0 && dwProcess == m_dwCopyId);
}

bool CUninstallRun::Next(UninstallWindow& window) const
{
    std::vector<HWND> ahwnd;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&ahwnd));
    int nBest = 3;
    for (HWND hwnd : ahwnd) {
        if (!IsOurs(hwnd))
            continue;
        const std::string strCaption = gui::Caption(hwnd);
        int nRank = 3;
        UninstallWindow::Kind kind = UninstallWindow::PROGRESS;
        if (strCaption == BOX_CAPTION && gui::IsBox(hwnd)) {
            nRank = 0;
            kind = UninstallWindow::BOX;
        } else if (strCaption == SHARED_CAPTION) {
            nRank = 1;
            kind = UninstallWindow::SHARED_FILE;
        } else if (strCaption == PROGRESS_CAPTION) {
            nRank = 2;
        }
        if (nRank < nBest) {
            nBest = nRank;
            window.kind = kind;
            window.hwnd = hwnd;
        }
    }
    if (nBest == 3)
        return false;
    if (window.kind == UninstallWindow::BOX)
        window.box = gui::ReadBox(window.hwnd);
    if (window.kind == UninstallWindow::SHARED_FILE)
        window.strText = gui::ItemText(window.hwnd, IDC_SHARED_TEXT);
    return window.kind != UninstallWindow::BOX || window.box;
}

void CUninstallRun::Shot(HWND hwnd, const std::string& strName)
{
    if (!m_strShots.empty() && gui::SaveScreenshot(hwnd, m_strShots + "\\" + strName + ".png") && m_bVerbose)
        std::printf("  screenshot %s.png\n", strName.c_str());
}

void CUninstallRun::Report(const UninstallWindow& window)
{
    switch (window.kind) {
    case UninstallWindow::BOX:
        if (m_bVerbose)
            std::printf("Box: %s\n", window.box.strText.c_str());
        m_astrBoxes.push_back(window.box.strText);
        if (window.box.nButtons == MB_OK) {
            m_strFinal = window.box.strText;
            Shot(window.hwnd, "uninstall-final-message");
        } else {
            Shot(window.hwnd, "uninstall-question");
        }
        break;
    case UninstallWindow::SHARED_FILE:
        if (window.hwnd == m_hwndLastShared)
            break;
        m_hwndLastShared = window.hwnd;
        if (m_bVerbose)
            std::printf("Shared file: %s\n", window.strText.c_str());
        m_astrShared.push_back(window.strText);
        Shot(window.hwnd, "uninstall-shared-file");
        break;
    case UninstallWindow::PROGRESS:
        if (!m_bShotProgress) {
            Shot(window.hwnd, "uninstall-removing-files");
            m_bShotProgress = true;
        }
        break;
    }
}

void CUninstallRun::Default(const UninstallWindow& window)
{
    switch (window.kind) {
    case UninstallWindow::BOX:
        gui::Answer(window.box, window.box.nButtons == MB_YESNO ? IDYES : IDOK);
        break;
    case UninstallWindow::SHARED_FILE:
        gui::Press(window.hwnd, IDYES);
        gui::WaitGone(window.hwnd);
        break;
    case UninstallWindow::PROGRESS:
        Sleep(10);
        break;
    }
}

std::string CUninstallRun::Run(const std::function<bool(const UninstallWindow&)>& onWindow, DWORD dwTimeout)
{
    const DWORD dwStart = GetTickCount();
    while (!WaitFor(m_pi.hProcess, 0) && GetTickCount() - dwStart < dwTimeout) {
        FindCopy();
        while (HWND hwnd = gui::WaitForWindow("ExplorerWClass", nullptr, 0)) {
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
            if (!gui::WaitGone(hwnd, 2000))
                break;
        }
        UninstallWindow window;
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

DWORD CUninstallRun::Wait(DWORD dwTimeout)
{
    DWORD dwExit = STILL_ACTIVE;
    if (WaitFor(m_pi.hProcess, dwTimeout))
        GetExitCodeProcess(m_pi.hProcess, &dwExit);
    return dwExit;
}

bool CUninstallRun::WaitForCopy(DWORD dwTimeout) { return WaitFor(m_hCopy, dwTimeout); }

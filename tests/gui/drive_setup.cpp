// Runs Setup.exe and works it as a user would: the wizard with its defaults
// (creating the destination when asked), the next disk at each prompt (its
// Data.dat copied into the folder Setup.exe runs from), and the final box.
// Prints what it sees; exits 0 when the setup ended successfully.
//   drive_setup SETUP.EXE DISK2 [DISK3 ...] [--screenshots DIR]
// SETUP.EXE must lie in a scratch copy of disk 1: its Data.dat is replaced.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/gui/gui_driver.h"

namespace {

std::string g_strShots;

void Shot(HWND hwnd, const char* pszName)
{
    if (!g_strShots.empty() && gui::SaveScreenshot(hwnd, g_strShots + "\\" + pszName + ".png"))
        std::printf("  screenshot %s.png\n", pszName);
}

bool IsOurs(HWND hwnd, DWORD dwProcess)
{
    DWORD dwOwner = 0;
    GetWindowThreadProcessId(hwnd, &dwOwner);
    return dwOwner == dwProcess;
}

int PageIndex(HWND hwndSheet)
{
    return static_cast<int>(
        SendMessageA(hwndSheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(gui::CurrentPage(hwndSheet)), 0));
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> astrDisks;
    std::string strSetup;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc)
            g_strShots = argv[++i];
        else if (strSetup.empty())
            strSetup = argv[i];
        else
            astrDisks.push_back(argv[i]);
    }
    if (strSetup.empty()) {
        std::fprintf(stderr, "usage: drive_setup SETUP.EXE DISK2 [DISK3 ...] [--screenshots DIR]\n");
        return 2;
    }
    if (!g_strShots.empty())
        CreateDirectoryA(g_strShots.c_str(), nullptr);
    const std::string strSourceDir = strSetup.substr(0, strSetup.find_last_of("\\/"));

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string strCommand = "\"" + strSetup + "\"";
    if (!CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, strSourceDir.c_str(), &si, &pi)) {
        std::fprintf(stderr, "drive_setup: cannot start %s (%lu)\n", strSetup.c_str(), GetLastError());
        return 1;
    }
    const DWORD dwProcess = pi.dwProcessId;
    std::printf("Setup.exe started from %s\n", strSourceDir.c_str());

    std::string strFinal;
    int nLastPercent = -1;
    std::string strLastFile;
    bool bShotMain = false, bShotProgress = false;
    while (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        HWND hwnd = gui::WaitForWindowIf([&](HWND h) { return IsOurs(h, dwProcess); }, 200);
        if (hwnd == nullptr)
            continue;
        const std::string strTitle = gui::Text(hwnd);
        if (GetDlgItem(hwnd, 0x3024) != nullptr) {  // the wizard
            HWND hwndMain = gui::WaitForWindow(SETUP_WINDOW_CLASS, nullptr, 0);
            if (hwndMain != nullptr && !bShotMain) {
                Shot(hwndMain, "setup-main-window");
                bShotMain = true;
            }
            const int nPage = PageIndex(hwnd);
            std::printf("Wizard page %d: %s\n", nPage + 1, strTitle.c_str());
            Shot(hwnd, nPage == 0 ? "setup-wizard-1" : nPage == 1 ? "setup-wizard-2" : "setup-wizard-3");
            if (nPage < 2) {
                gui::Press(hwnd, 0x3024);
                gui::WaitUntil([&] { return !IsWindow(hwnd) || PageIndex(hwnd) != nPage || gui::WaitForBox("Setup", 0); },
                               5000);
            } else {
                PostMessageA(hwnd, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
                gui::WaitGone(hwnd, 5000);
            }
            continue;
        }
        if (strTitle == "Copying Files") {
            const int nPercent = static_cast<int>(SendDlgItemMessageA(hwnd, IDC_PROGRESS, PBM_GETPOS, 0, 0));
            const std::string strFile = gui::ItemText(hwnd, IDC_STATUS_TEXT);
            if (nPercent != nLastPercent || strFile != strLastFile) {
                std::printf("  %3d%%  %s\n", nPercent, strFile.c_str());
                nLastPercent = nPercent;
                strLastFile = strFile;
            }
            if (!bShotProgress && nPercent > 0) {
                Shot(hwnd, "setup-copying-files");
                bShotProgress = true;
            }
        }
        gui::Box box = gui::WaitForBox("Setup", 0);
        if (!box || !IsOurs(box.hwnd, dwProcess)) {
            Sleep(20);
            continue;
        }
        std::printf("Box: %s\n", box.strText.c_str());
        unsigned nDisk = 0;
        char chDrive = 0;
        if (std::sscanf(box.strText.c_str(), "Insert the disk %u in %c: !", &nDisk, &chDrive) == 2) {
            if (nDisk < 2 || nDisk - 2 >= astrDisks.size()) {
                std::printf("  no such disk: quitting\n");
                gui::Answer(box, IDCANCEL);
                continue;
            }
            const std::string strFrom = astrDisks[nDisk - 2] + "\\Data.dat";
            const std::string strTo = strSourceDir + "\\Data.dat";
            std::printf("  disk %u goes in: %s -> %s\n", nDisk, strFrom.c_str(), strTo.c_str());
            CopyFileA(strFrom.c_str(), strTo.c_str(), FALSE);
            gui::Answer(box, IDOK);
        } else if (box.nButtons == MB_YESNO) {
            gui::Answer(box, IDYES);  // create the destination
        } else {
            strFinal = box.strText;
            Shot(box.hwnd, "setup-final-message");
            gui::Answer(box, IDOK);
        }
    }
    DWORD dwExit = 1;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    std::printf("Setup.exe ended (exit code %lu): %s\n", dwExit, strFinal.c_str());
    return strFinal == "The Setup was completed successfully." ? 0 : 1;
}

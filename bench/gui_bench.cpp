// Speed figures of Setup.exe under Wine, printed by scripts/bench. Each is a
// ratio of two measurements taken in turns in this one run:
//  - Setup.exe's start to the wizard's first page, against the start of a
//    trivial dialog program to its dialog, best of ten each;
//  - one large file through Setup.exe's real copy phase (the life of its
//    "Copying Files" dialog, watched from here), against the plain loop of
//    10,000-byte ReadFile/WriteFile chunks over the same bytes, the median
//    of the ratios of pairs of runs;
//  - what one engine progress call costs the copy when nothing waits (the
//    copy-progress dialog's pump), against a naive PeekMessage pump.
//   gui_bench TRIVIAL.EXE SETUP.EXE LARGE_SETUP.EXE
// SETUP.EXE lies on a small directory medium, LARGE_SETUP.EXE on a directory
// medium whose only file is the large one (in the Data.dat beside it).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/copy_progress_dlg.h"
#include "tests/gui/setup_run.h"

namespace {

const int COPY_PAIRS = 11;

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string FolderOf(const std::string& strPath)
{
    return strPath.substr(0, strPath.find_last_of("\\/"));
}

// Seconds for copying strFrom to strTo in 10,000-byte chunks.
double PlainCopySeconds(const std::string& strFrom, const std::string& strTo)
{
    HANDLE hIn = CreateFileA(strFrom.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE hOut = CreateFileA(strTo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    static char buf[10000];
    DWORD dw = 0;
    const double t = Now();
    while (ReadFile(hIn, buf, sizeof buf, &dw, nullptr) && dw > 0)
        WriteFile(hOut, buf, dw, &dw, nullptr);
    CloseHandle(hOut);
    const double d = Now() - t;
    CloseHandle(hIn);
    DeleteFileA(strTo.c_str());
    return d;
}

// Seconds that Setup.exe's "Copying Files" dialog is up, with the wizard's
// defaults; -1 when the install did not go through.
double SetupCopySeconds(const std::string& strSetup)
{
    CSetupRun setup(strSetup, {});
    setup.m_bVerbose = false;
    if (!setup.Start())
        return -1;
    double dCopy = -1;
    const std::string strFinal = setup.Run([&](const SetupWindow& window) {
        if (window.kind != SetupWindow::WIZARD || window.nPage != 2)
            return false;
        // Finish, then watch the dialog closely from its first moment to its last.
        PostMessageA(window.hwnd, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        HWND hwndCopying = nullptr;
        while (hwndCopying == nullptr && setup.IsRunning())
            hwndCopying = setup.Window("Copying Files");
        const double t = Now();
        while (IsWindow(hwndCopying))
            Sleep(1);
        dCopy = Now() - t;
        return true;
    });
    return strFinal == "The Setup was completed successfully." ? dCopy : -1;
}

// Microseconds per progress call (Cancel check, then the bar) with nothing
// waiting, ours and a naive pump's.
void CallbackMicros(double& dOurs, double& dNaive)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    CCopyProgressDlg dlg;
    dlg.Create(nullptr);
    const int N = 20000;
    double t = Now();
    for (int i = 0; i < N; ++i) {
        dlg.CheckCancel();
        dlg.SetProgressPos(i * 100 / N);
    }
    dOurs = (Now() - t) / N * 1e6;
    MSG msg;
    t = Now();
    for (int i = 0; i < N; ++i) {
        for (int k = 0; k < 2; ++k)
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
    }
    dNaive = (Now() - t) / N * 1e6;
    dlg.Destroy();
}

struct StartWatch {
    DWORD dwProcess;
    bool bWizard;
    bool bShown;
};

// Looks at windows without sending them anything: a starting program that
// had to answer questions would be slowed down by them.
BOOL CALLBACK SeeWindow(HWND hwnd, LPARAM lParam)
{
    StartWatch* pWatch = reinterpret_cast<StartWatch*>(lParam);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hwnd, &dwProcess);
    if (dwProcess == pWatch->dwProcess && IsWindowVisible(hwnd) &&
        (!pWatch->bWizard || GetDlgItem(hwnd, 0x3024) != nullptr)) {
        pWatch->bShown = true;
        return FALSE;
    }
    return TRUE;
}

// Seconds from CreateProcess until a visible window of the process shows
// (the wizard, when bWizard); -1 when none came.
double StartSeconds(const std::string& strExe, bool bWizard)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string strCommand = "\"" + strExe + "\"";
    const double t = Now();
    if (!CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, FolderOf(strExe).c_str(), &si,
                        &pi))
        return -1;
    StartWatch watch = {pi.dwProcessId, bWizard, false};
    while (!watch.bShown && Now() - t < 20) {
        EnumWindows(SeeWindow, reinterpret_cast<LPARAM>(&watch));
        if (!watch.bShown)
            Sleep(1);
    }
    const double d = Now() - t;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return watch.bShown ? d : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: gui_bench TRIVIAL.EXE SETUP.EXE LARGE_SETUP.EXE\n");
        return 2;
    }
    const std::string strTrivial = argv[1], strSetup = argv[2], strLarge = argv[3];

    // Process starts under Wine vary by tens of milliseconds: the best of ten each.
    double dTrivial = 1e9, dSetup = 1e9;
    for (int i = 0; i < 10; ++i) {
        dTrivial = std::min(dTrivial, StartSeconds(strTrivial, false));
        dSetup = std::min(dSetup, StartSeconds(strSetup, true));
    }
    std::printf("start to wizard page 1: %.0f ms, trivial dialog %.0f ms: %.2fx (goal <= 1.3)\n", dSetup * 1000,
                dTrivial * 1000, dSetup / dTrivial);

    const std::string strData = FolderOf(strLarge) + "\\Data.dat";
    const std::string strPlainTarget = "C:\\gui_bench_plain.bin";
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA(strData.c_str(), GetFileExInfoStandard, &data);
    const double dMegabytes = static_cast<double>(data.nFileSizeLow) / 1048576.0;
    // Each pair of runs back to back gives a ratio, and their median stands
    // for the run: the machine's load shifts between pairs far more than
    // within one, and a 200 MB copy varies by half from one run to the next.
    double dPlain = 1e9, dCopy = 1e9;
    std::vector<double> adRatios;
    for (int i = 0; i < COPY_PAIRS; ++i) {
        const double p = PlainCopySeconds(strData, strPlainTarget);
        // A fresh install each time, as the plain loop writes a new file: the
        // last run's copy is not there to be replaced.
        DeleteFileA("C:\\Vantler Bench\\Large.bin");
        const double d = SetupCopySeconds(strLarge);
        if (d < 0) {
            std::printf("copy phase: Setup.exe did not install the large file\n");
            return 1;
        }
        dPlain = std::min(dPlain, p);
        dCopy = std::min(dCopy, d);
        adRatios.push_back(p / d);
    }
    std::sort(adRatios.begin(), adRatios.end());
    std::printf("one %.0f MB file: Setup.exe's copy phase best %.0f ms, plain 10,000-byte loop best %.0f ms; median of "
                "%d paired speed ratios %.2fx (goal >= 0.8)\n",
                dMegabytes, dCopy * 1000, dPlain * 1000, COPY_PAIRS, adRatios[COPY_PAIRS / 2]);

    double dOurs = 0, dNaive = 0;
    CallbackMicros(dOurs, dNaive);
    std::printf("  per progress call with nothing waiting: %.2f us (a naive PeekMessage pump: %.2f us)\n", dOurs,
                dNaive);
    return 0;
}

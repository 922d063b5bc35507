// Speed figures of Setup.exe's windows under Wine, printed by scripts/bench:
//  - what one engine progress call costs the copy phase when nothing waits
//    (the copy-progress dialog's pump), next to a plain 10,000-byte
//    ReadFile/WriteFile chunk, and what a naive PeekMessage pump would cost;
//  - the time from start to the first page of the wizard, against the start
//    of a trivial dialog program.
//   gui_bench TRIVIAL.EXE SETUP.EXE
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/copy_progress_dlg.h"

namespace {

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Microseconds per 10,000-byte chunk copied with ReadFile/WriteFile.
double ChunkMicros()
{
    char szDir[MAX_PATH];
    GetTempPathA(sizeof szDir, szDir);
    const std::string strFrom = std::string(szDir) + "gui_bench_from.bin", strTo = std::string(szDir) + "gui_bench_to.bin";
    std::vector<char> data(20 * 1000 * 1000, 'v');
    HANDLE h = CreateFileA(strFrom.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD dw = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &dw, nullptr);
    CloseHandle(h);
    double dBest = 1e9;
    for (int nRun = 0; nRun < 3; ++nRun) {
        HANDLE hIn = CreateFileA(strFrom.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE hOut = CreateFileA(strTo.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        char buf[10000];
        const double t = Now();
        int nChunks = 0;
        while (ReadFile(hIn, buf, sizeof buf, &dw, nullptr) && dw > 0) {
            WriteFile(hOut, buf, dw, &dw, nullptr);
            ++nChunks;
        }
        dBest = std::min(dBest, (Now() - t) / nChunks * 1e6);
        CloseHandle(hIn);
        CloseHandle(hOut);
    }
    DeleteFileA(strFrom.c_str());
    DeleteFileA(strTo.c_str());
    return dBest;
}

// Microseconds per progress call (Cancel check, then the bar) with nothing waiting.
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

struct FindWindowOf {
    DWORD dwProcess;
    bool bWizard;
    HWND hwnd;
};

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM lParam)
{
    FindWindowOf* p = reinterpret_cast<FindWindowOf*>(lParam);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hwnd, &dwProcess);
    if (dwProcess == p->dwProcess && IsWindowVisible(hwnd) && (!p->bWizard || GetDlgItem(hwnd, 0x3024) != nullptr)) {
        p->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Seconds from CreateProcess until a visible window of the process matches.
double StartSeconds(const char* pszExe, bool bWizard)
{
    double dBest = 1e9;
    for (int nRun = 0; nRun < 5; ++nRun) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::string strCommand = std::string("\"") + pszExe + "\"";
        std::string strDir(pszExe);
        strDir = strDir.substr(0, strDir.find_last_of("\\/"));
        const double t = Now();
        if (!CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, strDir.c_str(), &si, &pi))
            return -1;
        HWND hwndFound = nullptr;
        while (hwndFound == nullptr && Now() - t < 20) {
            FindWindowOf find = {pi.dwProcessId, bWizard, nullptr};
            EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&find));
            hwndFound = find.hwnd;
            if (hwndFound == nullptr)
                Sleep(1);
        }
        const double d = Now() - t;
        TerminateProcess(pi.hProcess, 0);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (hwndFound == nullptr)
            return -1;
        dBest = std::min(dBest, d);
    }
    return dBest;
}

}  // namespace

int main(int argc, char** argv)
{
    const double dChunk = ChunkMicros();
    double dOurs = 0, dNaive = 0;
    CallbackMicros(dOurs, dNaive);
    std::printf("copy phase, per 10,000-byte chunk: copy %.2f us, progress call %.2f us (naive pump %.2f us)\n",
                dChunk, dOurs, dNaive);
    std::printf("  copy speed with the progress calls: %.2fx of the plain loop (naive pump: %.2fx; goal >= 0.8)\n",
                dChunk / (dChunk + dOurs), dChunk / (dChunk + dNaive));
    if (argc < 3)
        return 0;
    const double dTrivial = StartSeconds(argv[1], false);
    const double dSetup = StartSeconds(argv[2], true);
    if (dSetup < 0) {
        std::printf("start to wizard page 1: the wizard did not appear (trivial dialog %.0f ms)\n", dTrivial * 1000);
        return 0;
    }
    std::printf("start to wizard page 1: %.0f ms, trivial dialog %.0f ms: %.2fx (goal <= 1.3)\n", dSetup * 1000,
                dTrivial * 1000, dSetup / dTrivial);
    return 0;
}

// How much an unattended Setup.exe costs over the engine alone, printed by
// scripts/bench, which runs it without a display (as deployment tools start
// Setup.exe, with no shell to answer for Program Manager): the sample
// directory medium installed by "Setup.exe /S /D=... /LOG=...", against the
// same medium installed by the headless engine program (the engine's
// operations in the install sequence's order, no application around them),
// each a process of its own from start to exit, in turns.
//   unattended_bench MEDIUM HEADLESS.EXE
// MEDIUM is the folder of the medium's disk 1, with Setup.exe in it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const int RUNS = 21;

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Seconds from the start of the command until its process ends; -1 when it
// did not start or did not end with 0.
double RunSeconds(std::string strCommand, const std::string& strDir)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const double t = Now();
    if (!CreateProcessA(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, strDir.c_str(), &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    const double d = Now() - t;
    DWORD dwExit = 1;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return dwExit == 0 ? d : -1;
}

void Clear(const std::string& strDir)
{
    std::error_code ec;
    fs::remove_all(strDir, ec);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: unattended_bench MEDIUM HEADLESS.EXE\n");
        return 2;
    }
    const std::string strWork = (fs::temp_directory_path() / "vantler-unattended-bench").string();
    Clear(strWork);
    fs::create_directories(strWork);
    // Two copies of the medium: one with Setup.exe, one with the headless
    // program in its place; the same description and data in both.
    const std::string strSetupMedium = strWork + "\\setup", strEngineMedium = strWork + "\\engine";
    fs::copy(argv[1], strSetupMedium, fs::copy_options::recursive);
    fs::copy(argv[1], strEngineMedium, fs::copy_options::recursive);
    fs::copy_file(argv[2], strEngineMedium + "\\Setup.exe", fs::copy_options::overwrite_existing);
    // The headless program's stand-ins for the machine's registry roots.
    HKEY hKey;
    for (const char* pszKey :
         {"Software\\VantlerUnattendedBench\\Machine", "Software\\VantlerUnattendedBench\\Classes"}) {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, pszKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
        RegCloseKey(hKey);
    }

    const std::string strSetupDest = "C:\\Vantler Unattended Bench", strEngineDest = "C:\\Vantler Engine Bench";
    const std::string strSetup = "\"" + strSetupMedium + "\\Setup.exe\" /S \"/D=" + strSetupDest +
                                 "\" /GROUP=VantlerUnattendedBench \"/LOG=" + strWork + "\\setup.log\"";
    const std::string strEngine = "\"" + strEngineMedium + "\\Setup.exe\" \"" + strEngineDest +
                                  "\" VantlerEngineBench \"" + strWork + "\" Software\\VantlerUnattendedBench \"" +
                                  strWork + "\\engine.log\"";
    // Each pair of runs back to back gives a ratio; the median of the ratios
    // stands for the run, as the load of a shared machine shifts between
    // pairs far more than within one.
    double dSetup = 1e9, dEngine = 1e9;
    std::vector<double> adRatios;
    for (int i = 0; i < RUNS; ++i) {
        // A fresh install each time, for both.
        Clear(strSetupDest);
        Clear(strEngineDest);
        const double s = RunSeconds(strSetup, strSetupMedium);
        const double e = RunSeconds(strEngine, strEngineMedium);
        if (s < 0 || e < 0) {
            std::printf("unattended install: %s did not install (see %s)\n", s < 0 ? "Setup.exe /S" : "the engine",
                        strWork.c_str());
            return 1;
        }
        dSetup = std::min(dSetup, s);
        dEngine = std::min(dEngine, e);
        adRatios.push_back(s / e);
    }
    std::sort(adRatios.begin(), adRatios.end());
    std::printf("the sample directory medium, no display: Setup.exe /S best %.0f ms, headless engine install best "
                "%.0f ms; median of %d paired ratios %.2f (goal <= 1.1; lowest %.2f, highest %.2f)\n",
                dSetup * 1000, dEngine * 1000, RUNS, adRatios[RUNS / 2], adRatios.front(), adRatios.back());
    Clear(strSetupDest);
    Clear(strEngineDest);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\VantlerUnattendedBench");
    Clear(strWork);
    return 0;
}

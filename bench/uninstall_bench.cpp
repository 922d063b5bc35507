// How fast Uninst.exe removes an installation of 2,000 files, under Wine,
// printed by scripts/bench: its removal (the life of its "Removing Files"
// display, watched from here) against a plain DeleteFile loop over the same
// files, in turns in this one run, best of several.
//   uninstall_bench UNINST.EXE
// Each round lays the installation out afresh: 2,000 files of 1,000 bytes in
// directories of 100 below C:\VantlerBench, their install record and the
// uninstaller beside it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/file.h"
#include "model/install_mngr.h"
#include "model/media_format.h"
#include "tests/gui/uninstall_run.h"

namespace {

const int FILES = 2000;
const int FILES_PER_DIRECTORY = 100;
const int ROUNDS = 5;
const char* const DEST = "C:\\VantlerBench";

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string DirectoryOf(int n) { return std::string(DEST) + "\\D" + std::to_string(n / FILES_PER_DIRECTORY); }
std::string FileOf(int n) { return DirectoryOf(n) + "\\F" + std::to_string(n) + ".bin"; }

void WriteFiles()
{
    static const std::string bytes(1000, 'v');
    CreateDirectoryA(DEST, nullptr);
    for (int n = 0; n < FILES; ++n) {
        if (n % FILES_PER_DIRECTORY == 0)
            CreateDirectoryA(DirectoryOf(n).c_str(), nullptr);
        HANDLE hFile = CreateFileA(FileOf(n).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD dwWritten = 0;
        WriteFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &dwWritten, nullptr);
        CloseHandle(hFile);
    }
}

// The installation as Setup.exe leaves it: the files, the record naming
// each by its full path, and the uninstaller.
void LayOut(const std::string& strUninstaller)
{
    WriteFiles();
    CSetupEdit record;
    InstallNode* app = record.AddDirectory(record.GetRoot(), ROOT_APPLICATION_NAME);
    record.AddDirectory(record.GetRoot(), ROOT_SYSTEM_NAME);
    InstallNode* dir = nullptr;
    for (int n = 0; n < FILES; ++n) {
        if (n % FILES_PER_DIRECTORY == 0)
            dir = record.AddDirectory(*app, "D" + std::to_string(n / FILES_PER_DIRECTORY));
        record.AddFile(*dir, FileOf(n), 1000);
    }
    record.m_strDestDir = DEST;
    record.m_strProductTitle = "Vantler Bench";
    record.m_strProgramFolder = "Vantler Bench";
    CFile file((std::string(DEST) + "\\" + INSTALL_RECORD_NAME).c_str(), CFile::modeCreate | CFile::modeWrite);
    record.StoreRecord(file);
    file.Close();
    CopyFileA(strUninstaller.c_str(), (std::string(DEST) + "\\" + UNINSTALLER_NAME).c_str(), FALSE);
}

// Seconds that Uninst.exe's "Removing Files" display is up, where the
// removal happens (as the copy phase's figure takes the life of "Copying
// Files"); -1 when the removal did not go through.
double UninstallSeconds(std::string& strFinal)
{
    CUninstallRun run(std::string(DEST) + "\\" + UNINSTALLER_NAME);
    run.m_bVerbose = false;
    if (!run.Start())
        return -1;
    double dSeconds = -1;
    run.Run([&](const UninstallWindow& window) {
        if (window.kind != UninstallWindow::BOX || window.box.nButtons != MB_YESNO)
            return false;
        gui::Answer(window.box, IDYES);
        const HWND hwnd = gui::WaitForWindow(nullptr, "Removing Files", 5000);
        const double dStart = Now();
        // Each look asks the Wine server, which the removal's own calls wait
        // for: looking every 10 ms disturbs it little.
        while (IsWindow(hwnd) && IsWindowVisible(hwnd))
            Sleep(10);
        if (hwnd)
            dSeconds = Now() - dStart;
        return true;
    });
    run.Wait(10000);
    run.WaitForCopy(10000);
    // What another program's install left (scripts/bench installs the sample
    // product beforehand) may be named as staying; the removal went through.
    strFinal = run.m_strFinal;
    return strFinal.rfind("Vantler Bench was removed from your computer.", 0) == 0 ? dSeconds : -1;
}

double DeleteLoopSeconds()
{
    WriteFiles();
    // Uninst.exe starts its removal a good second after the files were
    // written (its start, its copy, its question): the loop starts as late,
    // so that both find the host's file system in the same state.
    Sleep(1500);
    const double dStart = Now();
    for (int n = 0; n < FILES; ++n)
        DeleteFileA(FileOf(n).c_str());
    const double d = Now() - dStart;
    for (int n = 0; n < FILES; n += FILES_PER_DIRECTORY)
        RemoveDirectoryA(DirectoryOf(n).c_str());
    RemoveDirectoryA(DEST);
    return d;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: uninstall_bench UNINST.EXE\n");
        return 2;
    }
    double dUninstall = 1e30, dLoop = 1e30;
    // In turns, each first every other round, so that neither always finds
    // the host just busy with the other's files.
    for (int round = 0; round < ROUNDS; ++round) {
        if (round % 2)
            dLoop = std::min(dLoop, DeleteLoopSeconds());
        LayOut(argv[1]);
        std::string strFinal;
        const double d = UninstallSeconds(strFinal);
        if (d < 0) {
            std::fprintf(stderr, "uninstall_bench: the removal did not go through: %s\n", strFinal.c_str());
            return 1;
        }
        dUninstall = std::min(dUninstall, d);
        if (round % 2 == 0)
            dLoop = std::min(dLoop, DeleteLoopSeconds());
    }
    std::printf("2,000 files removed: Uninst.exe %.3f s, DeleteFile loop %.3f s: time ratio %.2f (goal <= 1.3)\n",
                dUninstall, dLoop, dUninstall / dLoop);
    return 0;
}

// A setup program without windows, copied onto a medium as Setup.exe. It
// loads the install information the way Setup.exe does, from wherever it was
// copied, and then either reports what the engine found or runs the engine's
// whole install the way the install sequence does. Disk prompts are answered
// by putting the next volume's Data.dat in place, as a user changes floppies;
// every callback and every message box is written to a log.
//
//   Setup.exe REPORT
//     writes what the engine found into REPORT, one "key value" line each
//   Setup.exe DEST GROUP VOLUMES REGKEY LOG
//     DEST     destination directory        GROUP  program folder
//     VOLUMES  folder with disk1, disk2, ... REGKEY key below HKLM whose
//     Machine and Classes subkeys stand in for HKLM and HKCR
// Exit code: 0 when the report was written or the install went through,
// else the number of the step that failed.
#include <cstdio>
#include <string>

#include <windows.h>

#include "engine/setup_engine.h"
#include "framework/message_box.h"
#include "platform/registry.h"

namespace {

FILE* g_log = nullptr;
std::string g_strVolumes;
std::string g_strSourceDir;
int g_nLastPercent = -1;

const std::string& Name(INT_PTR param) { return *reinterpret_cast<const std::string*>(param); }

int Callback(int code, INT_PTR param1, INT_PTR param2)
{
    switch (code) {
    case SETUPCB_STATUSTEXT:
        std::fprintf(g_log, "status %s\n", Name(param1).c_str());
        break;
    case SETUPCB_PROGRESS:
        // Only where a display would visibly move by a tenth.
        if (param1 / 10 != g_nLastPercent / 10)
            std::fprintf(g_log, "progress %d\n", static_cast<int>(param1));
        g_nLastPercent = static_cast<int>(param1);
        break;
    case SETUPCB_INSERTDISK: {
        const int disk = static_cast<int>(param1 & 0xFFFF) + 1;
        std::fprintf(g_log, "insert disk %d in %c:\n", disk, static_cast<char>(param2));
        const std::string source = g_strVolumes + "\\disk" + std::to_string(disk) + "\\Data.dat";
        if (!CopyFileA(source.c_str(), (g_strSourceDir + "\\Data.dat").c_str(), FALSE))
            return 0;
        break;
    }
    case SETUPCB_READONLY:
        std::fprintf(g_log, "read-only %s\n", Name(param1).c_str());
        break;
    case SETUPCB_ERROR:
        std::fprintf(g_log, "error %d\n", static_cast<int>(param1));
        break;
    default:
        std::fprintf(g_log, "callback %d\n", code);
        break;
    }
    return 1;
}

class LoggingBox : public IMessageBoxPresenter {
public:
    int Show(const char*, const std::string& strText, UINT nStyle) override
    {
        std::fprintf(g_log, "box %u %s\n", nStyle, strText.c_str());
        return IDOK;
    }
};

HKEY OpenStandIn(const std::string& key)
{
    HKEY handle = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &handle);
    return handle;
}

int Failed(int step)
{
    std::fprintf(g_log, "step %d failed with 0x%08lx\n", step, GetLastError());
    return step;
}

// What LoadInstallInfo found.
int Report(const char* pszFile)
{
    CSetupEngine engine;
    const BOOL bLoaded = engine.LoadInstallInfo([](int, INT_PTR, INT_PTR) { return 1; });
    const DWORD dwError = GetLastError();
    FILE* out = std::fopen(pszFile, "w");
    if (!out)
        return 103;
    std::fprintf(out,
                 "result %d\nerror %08lx\nsource %s\nwin %s\nwindrive %d\nsys %s\ntitle %s\nmainexe %s\n"
                 "resext %s\n",
                 bLoaded, static_cast<unsigned long>(dwError), engine.m_strSourceDir.c_str(),
                 engine.m_strWinDir.c_str(), engine.m_chWinDrive, engine.m_strSysDir.c_str(),
                 engine.m_strProductTitle.c_str(), engine.m_strMainExe.c_str(), engine.m_strResExt.c_str());
    std::fprintf(out, "drives");
    for (BYTE drive : engine.m_abDrives)
        std::fprintf(out, " %c", drive + 0x40);
    std::fprintf(out, "\ngroups %u\n", static_cast<unsigned>(engine.m_astrGroups.size()));
    std::fclose(out);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2)
        return Report(argv[1]);
    if (argc != 6)
        return 100;
    const std::string strDest = argv[1];
    g_strVolumes = argv[3];
    g_log = std::fopen(argv[5], "wb");
    if (!g_log)
        return 101;
    HKEY machine = OpenStandIn(std::string(argv[4]) + "\\Machine");
    HKEY classes = OpenStandIn(std::string(argv[4]) + "\\Classes");
    if (!machine || !classes)
        return 102;
    RedirectRegistryRoot(HKEY_LOCAL_MACHINE, machine);
    RedirectRegistryRoot(HKEY_CLASSES_ROOT, classes);
    LoggingBox box;
    SetMessageBoxPresenter(&box);

    CSetupEngine engine;
    // As an unattended Setup.exe: without Program Manager the group is made of shell links.
    engine.m_bProgmanRequired = FALSE;
    int result = 0;
    if (!engine.LoadInstallInfo(Callback)) {
        result = Failed(1);
    } else {
        g_strSourceDir = engine.m_strSourceDir;
        // What the wizard's pages do.
        engine.SetDestDir(strDest);
        engine.SetProgramFolder(argv[2]);
        // The destination page examines a directory only when it exists.
        if (GetFileAttributesA(strDest.c_str()) != INVALID_FILE_ATTRIBUTES && !engine.CheckDestination(strDest))
            result = Failed(2);
        else if (!engine.CopyFiles())
            result = Failed(3);
        else if (!engine.UpdateRegistry())
            result = Failed(4);
        if (result == 3 || result == 4)
            engine.Rollback();
    }
    if (result == 0) {
        if (!engine.RegisterDlls())
            Failed(5);
        if (!engine.CreateProgramFolder())
            Failed(6);
        engine.SetInfoText(nullptr);
        if (!engine.SaveInstallRecord()) {
            result = Failed(7);
            engine.Rollback();
        } else {
            engine.RunPostInstallHook();
        }
    }
    std::fprintf(g_log, "result %d\n", result);
    std::fclose(g_log);
    RedirectRegistryRoot(HKEY_LOCAL_MACHINE, nullptr);
    RedirectRegistryRoot(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(machine);
    RegCloseKey(classes);
    return result;
}

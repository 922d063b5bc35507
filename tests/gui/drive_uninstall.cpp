// Runs the product's uninstaller the way the Apps list does, from its
// Uninstall entry, and works it as a user who agrees to everything would:
// Yes to the removal, Yes to each shared file, OK to the final message.
// Prints what it sees; exits with the uninstaller's exit code. The demo's.
//   drive_uninstall TITLE [--screenshots DIR]
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/gui/uninstall_run.h"

int main(int argc, char** argv)
{
    std::string strTitle, strShots;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc)
            strShots = argv[++i];
        else
            strTitle = argv[i];
    }
    if (strTitle.empty()) {
        std::fprintf(stderr, "usage: drive_uninstall TITLE [--screenshots DIR]\n");
        return 2;
    }
    if (!strShots.empty())
        CreateDirectoryA(strShots.c_str(), nullptr);
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    const std::string strKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + strTitle;
    char szCommand[1024] = "";
    DWORD dwSize = sizeof szCommand;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, strKey.c_str(), "UninstallString", RRF_RT_REG_SZ, nullptr, szCommand,
                     &dwSize) != ERROR_SUCCESS) {
        std::fprintf(stderr, "drive_uninstall: no Uninstall entry %s\n", strTitle.c_str());
        return 2;
    }
    std::printf("UninstallString: %s\n", szCommand);
    CUninstallRun run(szCommand);
    run.m_strShots = strShots;
    if (!run.Start())
        return 2;
    const std::string strFinal = run.Run();
    const DWORD dwCode = run.Wait(10000);
    run.WaitForCopy(10000);
    std::printf("Uninst.exe ended (exit code %lu): %s\n", dwCode, strFinal.c_str());
    return static_cast<int>(dwCode);
}

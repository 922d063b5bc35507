// Runs Setup.exe and works it as a user who takes every default would: the
// wizard's pages, Yes to creating the destination, the next disk at each
// prompt (its Data.dat copied into the folder Setup.exe runs from), OK to
// the final message. Prints what it sees; exits 0 when the setup ended
// successfully. The demo's installer.
//   drive_setup SETUP.EXE DISK2 [DISK3 ...] [--screenshots DIR]
// SETUP.EXE must lie in a scratch copy of disk 1: its Data.dat is replaced.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/gui/setup_run.h"

int main(int argc, char** argv)
{
    std::vector<std::string> astrDisks;
    std::string strSetup, strShots;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc)
            strShots = argv[++i];
        else if (strSetup.empty())
            strSetup = argv[i];
        else
            astrDisks.push_back(argv[i]);
    }
    if (strSetup.empty()) {
        std::fprintf(stderr, "usage: drive_setup SETUP.EXE DISK2 [DISK3 ...] [--screenshots DIR]\n");
        return 2;
    }
    if (!strShots.empty())
        CreateDirectoryA(strShots.c_str(), nullptr);
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // the demo shows the progress as it comes

    CSetupRun setup(strSetup, astrDisks);
    setup.m_strShots = strShots;
    if (!setup.Start())
        return 1;
    const std::string strFinal = setup.Run();
    std::printf("Setup.exe ended (exit code %lu): %s\n", setup.Wait(5000), strFinal.c_str());
    return strFinal == "The Setup was completed successfully." ? 0 : 1;
}

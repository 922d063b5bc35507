// Loads the install information the way Setup.exe does, from wherever this
// program was copied, and writes what the engine found into the file named
// by its argument, one "key value" line each.
#include <cstdio>

#include "engine/setup_engine.h"

namespace {

int AnswerEverything(int, INT_PTR, INT_PTR) { return 1; }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    CSetupEngine engine;
    const BOOL bLoaded = engine.LoadInstallInfo(AnswerEverything);
    const DWORD dwError = GetLastError();
    FILE* out = std::fopen(argv[1], "w");
    if (!out)
        return 3;
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

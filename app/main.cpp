// Setup.exe's entry point. The application object is static, so the engine
// exists before the first window and lives until the process ends.
#include <windows.h>

#include "app/setup_app.h"

namespace {
CSetupApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return theApp.Run();
}

// Stand-in for the Vantler uninstaller: the setup program installs it as
// Uninst.exe and points the Uninstall entry at it; removal itself comes later.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr,
              "Removing Vantler is not available yet.\r\n"
              "The installed files and settings have been left in place.",
              "Vantler Uninstall", MB_OK | MB_ICONINFORMATION);
  return 0;
}

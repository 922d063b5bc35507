// The Delphi variant of a Vantler demo project (Joust or Q7), as a plain window
// program. DEMO_NAME and DEMO_COLOR come from the build.
#include "sample_window.h"

namespace {

const char* const kLines[] = {
  "This demo shows the Vantler control inside a " DEMO_NAME " game board.",
  "Its resource file " DEMO_NAME ".vtr lies beside the program.",
  "Close the window to end the demo.",
};

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
  SampleWindowInfo info = {};
  info.pszClassName = "VantlerDemo" DEMO_NAME;
  info.pszCaption = DEMO_NAME " - Vantler Delphi Demo";
  info.ppszLines = kLines;
  info.nLines = sizeof(kLines) / sizeof(kLines[0]);
  info.crBanner = DEMO_COLOR;
  return RunSampleWindow(hInstance, nShowCmd, info);
}

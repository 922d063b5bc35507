// Tessel, the resource editor of the Vantler sample product. This build shows one
// window and the resource file it was asked to open (the shell passes it quoted).
#include <string.h>

#include "sample_window.h"

namespace {

const char* const kLines[] = {
  "Tessel edits the resource files (.vtr) of Vantler controls:",
  "string tables, bitmaps and the layout of the control's pages.",
  "This edition opens no editor panes yet; close the window to quit.",
};

// Removes the quotes that the shell's open command puts around "%1".
void UnquoteInPlace(char* psz) {
  size_t n = strlen(psz);
  if (n >= 2 && psz[0] == '"' && psz[n - 1] == '"') {
    memmove(psz, psz + 1, n - 2);
    psz[n - 2] = '\0';
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR pszCmdLine, int nShowCmd) {
  char szDocument[MAX_PATH] = "";
  strncpy(szDocument, pszCmdLine ? pszCmdLine : "", sizeof(szDocument) - 1);
  UnquoteInPlace(szDocument);

  SampleWindowInfo info = {};
  info.pszClassName = "VantlerTessel";
  info.pszCaption = "Tessel - Vantler Resource Editor";
  info.ppszLines = kLines;
  info.nLines = sizeof(kLines) / sizeof(kLines[0]);
  info.pszDocument = szDocument;
  info.crBanner = RGB(0, 84, 147);
  return RunSampleWindow(hInstance, nShowCmd, info);
}

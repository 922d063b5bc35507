// One top-level window with a few painted lines of text: the frame shared by the
// Tessel editor stand-in and the two demo programs.
#pragma once

#include <windows.h>

#include "sample_resource.h"

struct SampleWindowInfo {
  const char* pszClassName;
  const char* pszCaption;
  const char* const* ppszLines;  // painted top to bottom below the banner
  int nLines;
  const char* pszDocument;       // shown as an extra line when not empty
  COLORREF crBanner;
};

// Registers the class, shows the window and runs the message loop until the
// window is closed. Returns the process exit code (0 after a normal close).
int RunSampleWindow(HINSTANCE hInstance, int nShowCmd, const SampleWindowInfo& info);

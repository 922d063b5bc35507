// The main window's background: 256 horizontal bands from blue at the top
// to black at the bottom over the client area, less its last row.
#pragma once

#include "framework/wintypes.h"

constexpr int GRADIENT_BANDS = 256;

struct GradientBand {
    int nTop;     // first row
    int nBottom;  // first row below the band; equal to nTop for an empty band
    BYTE bBlue;   // red and green are 0
};

// Band nIndex (0..255) for a client area cy pixels high: band height
// (cy - 1) / 256 in single precision, edges truncated towards zero.
GradientBand GetGradientBand(int nIndex, int cy);

#include "app/gradient.h"

GradientBand GetGradientBand(int nIndex, int cy)
{
    const float fHeight = static_cast<float>(cy - 1) * 0.00390625f;
    GradientBand band;
    band.nTop = static_cast<int>(static_cast<float>(nIndex) * fHeight);
    band.nBottom = static_cast<int>(static_cast<float>(nIndex + 1) * fHeight);
    band.bBlue = static_cast<BYTE>(255 - nIndex);
    return band;
}

#include "framework/window_placement.h"

namespace {

// The start of a span of size centred on a..b, moved to lie within
// first..last; a span larger than that starts at first.
LONG Centred(LONG a, LONG b, LONG size, LONG first, LONG last)
{
    LONG pos = a + (b - a - size) / 2;
    if (pos + size > last)
        pos = last - size;
    return pos < first ? first : pos;
}

}  // namespace

POINT CentredPosition(const RECT& rcOwner, LONG cx, LONG cy, const RECT& rcWork)
{
    return POINT{Centred(rcOwner.left, rcOwner.right, cx, rcWork.left, rcWork.right),
                 Centred(rcOwner.top, rcOwner.bottom, cy, rcWork.top, rcWork.bottom)};
}

#include "framework/window_placement.h"

#include <gtest/gtest.h>

// A 1024 by 768 screen whose lowest 30 pixels the task bar takes.
TEST(CentredPosition, Table)
{
    const RECT rcWork = {0, 0, 1024, 738};
    struct Case {
        const char* name;
        RECT rcOwner;
        LONG cx, cy;
        LONG x, y;
    } cases[] = {
        {"on a maximised owner", {-4, -4, 1028, 742}, 480, 360, 272, 189},
        {"on a small owner", {100, 100, 400, 300}, 200, 100, 150, 150},
        {"larger than its owner", {100, 100, 200, 150}, 300, 200, 0, 25},
        {"owner near the right edge", {900, 300, 1020, 400}, 300, 100, 724, 300},
        {"owner partly off the bottom", {200, 700, 400, 900}, 100, 100, 250, 638},
        {"larger than the work area", {0, 0, 1024, 738}, 1200, 800, 0, 0},
    };
    for (const Case& c : cases) {
        const POINT pt = CentredPosition(c.rcOwner, c.cx, c.cy, rcWork);
        EXPECT_EQ(c.x, pt.x) << c.name;
        EXPECT_EQ(c.y, pt.y) << c.name;
    }
}

// The main window's bands, by the sizes where their arithmetic shows.
#include <gtest/gtest.h>

#include "app/gradient.h"

namespace {

TEST(Gradient, BandsByClientHeight)
{
    const struct {
        int cy, nIndex, nTop, nBottom;
    } ROWS[] = {
        {257, 0, 0, 1},       // 257 rows: every band one row high
        {257, 255, 255, 256},
        {100, 0, 0, 0},       // fewer rows than bands: some bands are empty
        {100, 2, 0, 1},
        {100, 255, 98, 99},
        {768, 255, 764, 767}, // the last row is left to the window
        {1, 255, 0, 0},
    };
    for (const auto& row : ROWS) {
        const GradientBand band = GetGradientBand(row.nIndex, row.cy);
        EXPECT_EQ(band.nTop, row.nTop) << row.cy << " " << row.nIndex;
        EXPECT_EQ(band.nBottom, row.nBottom) << row.cy << " " << row.nIndex;
        EXPECT_EQ(band.bBlue, 255 - row.nIndex);
    }
}

}  // namespace

// The page (and so the window) is 640 wide and as high as the main screen's
// usable area allows, minus a margin, between 520 and 960.
#include "PageSize.h"

#include <gtest/gtest.h>
#include <limits>

using tarvelo::PageSize::height;

TEST(PageSizeTest, WithoutAScreenThePageIsAsHighAsItGets) { EXPECT_EQ(height(std::nullopt), 960.0); }

TEST(PageSizeTest, LeavesFortyPointsOfTheUsableHeightFree) {
    EXPECT_EQ(height(800.0), 760.0);
    EXPECT_EQ(height(560.0), 520.0);
    EXPECT_EQ(height(1000.0), 960.0);
    EXPECT_EQ(height(727.5), 687.5);
}

TEST(PageSizeTest, NeverGetsShorterThan520NorTallerThan960) {
    EXPECT_EQ(height(500.0), 520.0);
    EXPECT_EQ(height(0.0), 520.0);
    EXPECT_EQ(height(-300.0), 520.0);
    EXPECT_EQ(height(1200.0), 960.0);
    EXPECT_EQ(height(std::numeric_limits<double>::infinity()), 960.0);
    EXPECT_EQ(height(std::numeric_limits<double>::quiet_NaN()), 960.0);
}

TEST(PageSizeTest, GrowsWithTheScreenAndStaysWithinBounds) {
    double previous = 0.0;
    for (double screen = 0.0; screen <= 1400.0; screen += 7.0) {
        const double page = height(screen);
        EXPECT_GE(page, previous);
        EXPECT_GE(page, 520.0);
        EXPECT_LE(page, 960.0);
        previous = page;
    }
}

// How one line of text gives way when it is too wide: tightening, then
// shrinking to the minimum scale factor, then truncation.

#include <gtest/gtest.h>

#include "TextFitting.h"

using namespace platform;

namespace {

// "ten chars!" at 10 points: 50 wide, 10 graphemes, 9 gaps.
const TextMetrics tenCharacters{50.0, 12.0, 10.0, 10};

} // namespace

TEST(TextFitting, FitsAsItIsWhenThereIsRoom) {
    const FittedText fitted = fitText(tenCharacters, 10.0, 60.0, {0.5, true});
    EXPECT_EQ(fitted.size, (Size{50.0, 12.0}));
    EXPECT_DOUBLE_EQ(fitted.scale, 1.0);
    EXPECT_DOUBLE_EQ(fitted.tracking, 0.0);
    EXPECT_FALSE(fitted.truncated);
    EXPECT_EQ(fitText(tenCharacters, 10.0, std::nullopt, {}).size.width, 50.0);
}

TEST(TextFitting, TighteningComesBeforeShrinking) {
    // Tightening may save 0.4 points per gap: 3.6 in all.
    const FittedText fitted = fitText(tenCharacters, 10.0, 48.2, {0.5, true});
    EXPECT_DOUBLE_EQ(fitted.scale, 1.0);
    EXPECT_NEAR(fitted.tracking, -0.2, 1e-12);
    EXPECT_DOUBLE_EQ(fitted.size.width, 48.2);
    EXPECT_FALSE(fitted.truncated);
}

TEST(TextFitting, ShrinksJustEnoughAndNoFurther) {
    const FittedText fitted = fitText(tenCharacters, 10.0, 40.0, {0.5, false});
    EXPECT_DOUBLE_EQ(fitted.scale, 0.8);
    EXPECT_DOUBLE_EQ(fitted.size.width, 40.0);
    EXPECT_DOUBLE_EQ(fitted.size.height, 12.0 * 0.8);
    EXPECT_FALSE(fitted.truncated);
}

TEST(TextFitting, TruncatesOnlyAtTheMinimumScale) {
    const FittedText fitted = fitText(tenCharacters, 10.0, 30.0, {0.8, false});
    EXPECT_DOUBLE_EQ(fitted.scale, 0.8);
    EXPECT_TRUE(fitted.truncated);
    EXPECT_DOUBLE_EQ(fitted.size.width, 30.0);
}

TEST(TextFitting, WithoutPermissionItTruncatesAtFullSize) {
    const FittedText fitted = fitText(tenCharacters, 10.0, 49.0, {});
    EXPECT_DOUBLE_EQ(fitted.scale, 1.0);
    EXPECT_DOUBLE_EQ(fitted.tracking, 0.0);
    EXPECT_TRUE(fitted.truncated);
}

TEST(TextFitting, NarrowerOffersNeverGiveLargerText) {
    double previousScale = 1.0;
    bool truncatedBefore = false;
    for (double width = 60.0; width >= 0.0; width -= 0.5) {
        const FittedText fitted = fitText(tenCharacters, 10.0, width, {0.8, true});
        EXPECT_LE(fitted.scale, previousScale);
        EXPECT_GE(fitted.scale, 0.8);
        EXPECT_LE(fitted.size.width, std::max(width, 0.0) + 1e-9);
        if (truncatedBefore) {
            EXPECT_TRUE(fitted.truncated);
        }
        if (fitted.truncated) {
            EXPECT_DOUBLE_EQ(fitted.scale, 0.8);
        }
        truncatedBefore = fitted.truncated;
        previousScale = fitted.scale;
    }
    EXPECT_TRUE(truncatedBefore);
}

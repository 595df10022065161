// How one line of text gives way when it is too wide: tightening, then
// shrinking to the minimum scale factor, then truncation.

#include "Platform/View/TextFitting.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// "ten chars!" at 10 points: 50 wide, 10 graphemes, 9 gaps.
const TextMetrics tenCharacters{50.0, 12.0, 10.0, 10};

} // namespace

TEST(TextFitting, TightensThenShrinksThenTruncates) {
    struct Case {
        const char* what;
        std::optional<double> width;
        TextFitting fitting;
        Size size;
        double scale;
        double tracking;
        bool truncated;
    } cases[] = {
        {"room enough", 60.0, {0.5, true}, {50.0, 12.0}, 1.0, 0.0, false},
        {"no proposal", std::nullopt, {}, {50.0, 12.0}, 1.0, 0.0, false},
        // Tightening may save 0.4 points per gap: 3.6 in all.
        {"tightened before shrunk", 48.2, {0.5, true}, {48.2, 12.0}, 1.0, -0.2, false},
        {"shrunk just enough", 40.0, {0.5, false}, {40.0, 12.0 * 0.8}, 0.8, 0.0, false},
        {"truncated at the minimum scale", 30.0, {0.8, false}, {30.0, 12.0 * 0.8}, 0.8, 0.0, true},
        {"truncated at full size without permission", 49.0, {}, {49.0, 12.0}, 1.0, 0.0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FittedText fitted = fitText(tenCharacters, 10.0, c.width, c.fitting);
        EXPECT_DOUBLE_EQ(fitted.size.width, c.size.width);
        EXPECT_DOUBLE_EQ(fitted.size.height, c.size.height);
        EXPECT_DOUBLE_EQ(fitted.scale, c.scale);
        EXPECT_NEAR(fitted.tracking, c.tracking, 1e-12);
        EXPECT_EQ(fitted.truncated, c.truncated);
    }
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

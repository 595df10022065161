// The Pango measurer: widths that scale with the size (so layout can
// shrink without asking again) and stay the same after painting.

#include "Platform/Painter/Painter.h"

#include <cairo.h>
#include <gtest/gtest.h>

using namespace platform;

TEST(PangoTextMeasurer, WidthsScaleLinearlyWithTheFontSize) {
    const Painter painter;
    const TextMetrics at10 =
        painter.measurer().measure("September 2026", Font::system(10, FontWeight::semibold));
    const TextMetrics at13 =
        painter.measurer().measure("September 2026", Font::system(13, FontWeight::semibold));
    EXPECT_GT(at10.width, 40.0);
    EXPECT_NEAR(at13.width / at10.width, 1.3, 0.005);
    EXPECT_NEAR(at13.height / at10.height, 1.3, 0.02);
    EXPECT_EQ(at10.graphemes, 14);
    EXPECT_GT(at10.width, painter.measurer().measure("September 2026", Font::system(10)).width)
        << "heavier is wider";
    // Graphemes, not bytes.
    EXPECT_EQ(painter.measurer().measure("Mär\xC3\xA7", Font::system(10)).graphemes, 4);
    EXPECT_EQ(painter.measurer().measure("", Font::system(10)).graphemes, 0);
}

TEST(PangoTextMeasurer, PaintingAtAnotherScaleDoesNotChangeMeasurements) {
    const Painter painter;
    // Measure an uncached text after a paint left the context scaled.
    DisplayList list;
    list.size = {50, 20};
    list.items.push_back(
        TextRun{"12", {{0, 0}, {20, 12}}, Font::system(10), 0, false, {SemanticColor::primary}});
    const TextMetrics before = painter.measurer().measure("Donnerstag", Font::system(11));
    painter.render(list, 2.0, Appearance::dark);
    const TextMetrics after = painter.measurer().measure("Donnerstag", Font::system(11.5));
    EXPECT_NEAR(after.width / before.width, 11.5 / 11.0, 0.003);
}

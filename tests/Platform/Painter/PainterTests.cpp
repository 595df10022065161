// Painting display lists: recoloured symbols, text where layout put it and
// one golden picture (colours, shapes and scales are also in the widget's
// goldens); and the Pango measurer, whose widths scale with the size (so
// layout can shrink without asking again) and stay the same after painting.

#include "Platform/Painter/Painter.h"
#include "Platform/View/Layout.h"
#include "Platform/View/View.h"
#include "tests/Support/GoldenImage.h"

#include <cairo.h>
#include <gtest/gtest.h>

using namespace platform;

namespace {

// The bounding box of the pixels with any ink, in pixels; empty when none.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool any() const { return right >= 0; }
};

Ink inkOf(cairo_surface_t* surface) {
    Ink ink;
    for (int row = 0; row < cairo_image_surface_get_height(surface); ++row) {
        const auto* pixels = reinterpret_cast<const std::uint32_t*>(
            cairo_image_surface_get_data(surface) + row * cairo_image_surface_get_stride(surface));
        for (int column = 0; column < cairo_image_surface_get_width(surface); ++column)
            if (pixels[column] >> 24) // alpha
                ink = {std::min(ink.left, column), std::min(ink.top, row), std::max(ink.right, column),
                       std::max(ink.bottom, row)};
    }
    return ink;
}

class PainterTest : public ::testing::Test {
protected:
    Painter painter;
    TextMetrics measured(const char* text, double size, FontWeight weight = FontWeight::regular) const {
        return painter.measurer().measure(text, Font::system(size, weight));
    }
};

} // namespace

TEST_F(PainterTest, SymbolsComeFromTheIconThemeRecoloured) {
    for (const char* name : {"chevron.left", "chevron.right", "checkmark", "exclamationmark.triangle.fill"})
        EXPECT_TRUE(painter.symbols().hasIcon(name)) << name;
    DisplayList list{
        {16, 16}, {SymbolItem{"chevron.right", {{0, 0}, {16, 16}}, Font::system(11), {SemanticColor::red}}}};
    const auto image = painter.render(list, 2.0, Appearance::light);
    const Ink ink = inkOf(image.get());
    // The icon's chevron spans x 4 to 12 of its 16 × 16 box.
    EXPECT_TRUE(ink.any() && std::abs(ink.left - 8) <= 1 && std::abs(ink.right - 24) <= 1)
        << ink.left << " " << ink.right;
    // Its colour: the golden picture below holds a recoloured chevron.

    std::get<SymbolItem>(list.items[0]).name = "no.such.symbol";
    EXPECT_FALSE(inkOf(painter.render(list, 1.0, Appearance::light).get()).any()) << "an unknown symbol drew";
}

TEST_F(PainterTest, TextInkStaysInsideItsLaidOutFrameTruncatedOrNot) {
    const DisplayList list = layout(Text("Mittwoch 28").font(Font::system(13, FontWeight::semibold)),
                                    {120, 30}, painter.measurer());
    const auto& run = std::get<TextRun>(list.items.at(0));
    for (const double scale : {1.0, 1.25, 2.0}) {
        const Ink ink = inkOf(painter.render(list, scale, Appearance::light).get());
        EXPECT_TRUE(ink.any() && ink.left >= std::floor(run.frame.minX() * scale) - 1 &&
                    ink.right <= std::ceil(run.frame.maxX() * scale) + 1 &&
                    ink.top >= std::floor(run.frame.minY() * scale) - 1 &&
                    ink.bottom <= std::ceil(run.frame.maxY() * scale) + 1)
            << scale;
    }
    // Truncated text ends within its frame too.
    const TextRun longTitle{
        "A much longer title than fits", {{0, 0}, {40, 16}}, Font::system(13), 0, true, {}};
    const Ink truncated = inkOf(painter.render({{60, 20}, {longTitle}}, 2.0, Appearance::light).get());
    EXPECT_TRUE(truncated.any() && truncated.right <= 81);
}

TEST_F(PainterTest, SmallPictureMatchesItsGolden) {
    const DisplayList list{
        {64, 32},
        {ShapeItem{ShapeKind::roundedRectangle, {{0, 0}, {64, 32}}, 8, {SemanticColor::tertiaryFill}},
         ShapeItem{ShapeKind::circle, {{4, 7.5}, {17, 17}}, 0, {SemanticColor::red}},
         TextRun{"6", {{9.3, 10}, {6.4, 12}}, Font::system(10), 0, false, {SemanticColor::white}},
         TextRun{"Mai", {{25, 8}, {22, 16}}, Font::system(13, FontWeight::semibold), 0, false, {}},
         SymbolItem{"chevron.right",
                    {{48, 9.4}, {13.2, 13.2}},
                    Font::system(11, FontWeight::semibold),
                    {SemanticColor::accent}}}};
    const auto image = painter.render(list, 2.0, Appearance::light);
    EXPECT_EQ(tarvelo::testsupport::compareWithGolden(image.get(), "Platform/Painter/sample@2x.png"), "");
}

TEST_F(PainterTest, MeasuredWidthsScaleLinearlyWithTheFontSizeAndSurvivePainting) {
    const TextMetrics at10 = measured("September 2026", 10, FontWeight::semibold);
    const TextMetrics at13 = measured("September 2026", 13, FontWeight::semibold);
    EXPECT_GT(at10.width, 40.0);
    EXPECT_GT(at10.width, measured("September 2026", 10).width) << "heavier is wider";
    EXPECT_NEAR(at13.width / at10.width, 1.3, 0.005);
    EXPECT_NEAR(at13.height / at10.height, 1.3, 0.02);
    // Graphemes, not bytes.
    EXPECT_EQ(at10.graphemes, 14);
    EXPECT_EQ(measured("Mär\xC3\xA7", 10).graphemes, 4);
    EXPECT_EQ(measured("", 10).graphemes, 0);

    // An uncached text measured after a paint left the context scaled.
    const TextMetrics before = measured("Donnerstag", 11);
    painter.render({{50, 20}, {TextRun{"12", {{0, 0}, {20, 12}}, Font::system(10), 0, false, {}}}}, 2.0,
                   Appearance::dark);
    EXPECT_NEAR(measured("Donnerstag", 11.5).width / before.width, 11.5 / 11.0, 0.003);
}

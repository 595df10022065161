// The widget as painted: golden pictures of both sizes, and single pixels
// that must hold at every scale factor.

#include "Platform/Painter/Painter.h"
#include "TarveloWidget/WidgetRendering.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/GoldenImage.h"
#include "tests/TarveloWidget/WidgetTestHelpers.h"

#include <cairo.h>
#include <gtest/gtest.h>

using namespace platform;
using namespace tarvelo;
using namespace tarvelo::testsupport;

namespace {

// The ARGB word at (x, y) points: where alpha is full, the colour itself.
std::uint32_t pixelAt(cairo_surface_t* surface, double x, double y, double scale) {
    const unsigned char* row = cairo_image_surface_get_data(surface) +
                               static_cast<int>(y * scale) * cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const std::uint32_t*>(row)[static_cast<int>(x * scale)];
}

class WidgetPicture : public ::testing::Test {
protected:
    EnvironmentGuard environment = pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    const Instant now = berlinWinter2025(3, 12, 10);
    Painter painter;

    DisplayList listFor(Size size) const {
        return widgetPicture(entryShowing(now), size, painter.measurer(), [this] { return now; });
    }
};

} // namespace

TEST_F(WidgetPicture, MatchesItsGoldens) {
    struct Case {
        const char* golden;
        const char* locale;
        Size size;
        Appearance appearance;
    } const cases[] = {
        {"small-light@2x", "en_US.UTF-8", systemSmallSize, Appearance::light},
        {"medium-dark@2x", "en_US.UTF-8", systemMediumSize, Appearance::dark},
        // Arabic: mirrored, with Arabic-Indic digits, in the Islamic calendar.
        {"medium-light-rtl@2x", "ar_SA.UTF-8", systemMediumSize, Appearance::light},
    };
    for (const Case& example : cases) {
        const EnvironmentGuard locale = pinLocaleAndZone(example.locale, "Europe/Berlin");
        const auto image = painter.render(listFor(example.size), 2.0, example.appearance, 20.0);
        const std::string mismatch =
            compareWithGolden(image.get(), std::string("TarveloWidget/") + example.golden + ".png");
        EXPECT_TRUE(mismatch.empty()) << mismatch;
    }
}

TEST_F(WidgetPicture, TodayDiscIsRedAtEveryScale) {
    const DisplayList list = listFor(systemSmallSize);
    const ShapeItem* disc = nullptr;
    for (const auto& item : list.items)
        if (const auto* shape = std::get_if<ShapeItem>(&item); shape && shape->kind == ShapeKind::circle)
            disc = shape;
    ASSERT_NE(disc, nullptr);
    for (const double scale : {1.0, 1.25, 2.0}) {
        const auto image = painter.render(list, scale, Appearance::light);
        EXPECT_EQ(cairo_image_surface_get_width(image.get()), static_cast<int>(std::ceil(170 * scale)));
        // Just inside the disc's rim, clear of the white number.
        const std::uint32_t rim = pixelAt(image.get(), disc->frame.midX(), disc->frame.minY() + 1.5, scale);
        EXPECT_EQ(rim >> 24, 255u) << scale;
        EXPECT_GT((rim >> 16) & 0xFF, 240u) << scale;
        EXPECT_LT((rim >> 8) & 0xFF, 80u) << scale;
        EXPECT_LT(rim & 0xFF, 80u) << scale;
    }
}

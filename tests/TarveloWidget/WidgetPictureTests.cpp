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

struct Pixel {
    int red, green, blue, alpha;
};

// Un-premultiplied pixel at (x, y) points.
Pixel pixelAt(cairo_surface_t* surface, double x, double y, double scale) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int column = static_cast<int>(x * scale);
    const int row = static_cast<int>(y * scale);
    const auto* word = reinterpret_cast<const std::uint32_t*>(data + row * stride) + column;
    const int alpha = static_cast<int>(*word >> 24);
    const auto channel = [&](int shift) {
        const int value = static_cast<int>((*word >> shift) & 0xFF);
        return alpha ? value * 255 / alpha : 0;
    };
    return {channel(16), channel(8), channel(0), alpha};
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
        const Pixel rim = pixelAt(image.get(), disc->frame.midX(), disc->frame.minY() + 1.5, scale);
        EXPECT_EQ(rim.alpha, 255) << scale;
        EXPECT_GT(rim.red, 240) << scale;
        EXPECT_LT(rim.green, 80) << scale;
        EXPECT_LT(rim.blue, 80) << scale;
    }
}

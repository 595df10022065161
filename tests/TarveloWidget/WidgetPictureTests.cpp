// The widget as painted: golden pictures of both sizes, light and dark, and
// right to left. (Painting at other scale factors is the painter's to test.)

#include "Platform/Painter/Painter.h"
#include "TarveloWidget/WidgetRendering.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/GoldenImage.h"
#include "tests/TarveloWidget/WidgetTestHelpers.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace tarvelo;
using namespace tarvelo::testsupport;

// Wednesday 12 March 2025, in each locale, drawn at twice the size.
TEST(WidgetPicture, MatchesItsGoldens) {
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
    const Instant now = berlinWinter2025(3, 12, 10);
    Painter painter;
    for (const Case& example : cases) {
        const EnvironmentGuard locale = pinLocaleAndZone(example.locale, "Europe/Berlin");
        const DisplayList list =
            widgetPicture(entryShowing(now), example.size, painter.measurer(), [now] { return now; });
        const auto image = painter.render(list, 2.0, example.appearance, 20.0);
        const std::string mismatch =
            compareWithGolden(image.get(), std::string("TarveloWidget/") + example.golden + ".png");
        EXPECT_TRUE(mismatch.empty()) << mismatch;
    }
}

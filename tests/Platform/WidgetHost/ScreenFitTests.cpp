#include "Platform/WidgetHost/ScreenFit.h"

#include <gtest/gtest.h>

using platform::ScreenRect;

TEST(ScreenFit, AWidgetMostlyOffEveryWorkAreaComesUpInsideTheNearest) {
    // Two monitors side by side; the left one has a 32-pixel panel on top.
    const std::vector<ScreenRect> twoMonitors{{0, 32, 1280, 768}, {1280, 0, 1920, 1080}};
    const std::vector<ScreenRect> laptop{{0, 0, 1280, 800}};
    struct Case {
        const char* what;
        ScreenRect widget;
        std::vector<ScreenRect> areas;
        std::pair<int, int> origin;
    } cases[] = {
        {"inside stays", {100, 100, 170, 170}, twoMonitors, {100, 100}},
        {"across two monitors stays", {1200, 100, 170, 170}, twoMonitors, {1200, 100}},
        {"half under the panel stays", {100, -53, 170, 170}, twoMonitors, {100, -53}},
        {"mostly under the panel comes down", {100, -100, 170, 170}, twoMonitors, {100, 32}},
        {"on an unplugged monitor comes to the edge", {3000, 100, 170, 170}, laptop, {1110, 100}},
        {"far below and right goes to the corner", {2400, 1500, 364, 170}, laptop, {916, 630}},
        {"left of everything", {-5000, 500, 170, 170}, twoMonitors, {0, 500}},
        {"nearest of two", {3300, 500, 170, 170}, twoMonitors, {3030, 500}},
        {"larger than the area keeps its corner on it", {-50, 900, 1400, 900}, laptop, {0, 0}},
        {"no work area known stays", {9000, 9000, 170, 170}, {}, {9000, 9000}},
        {"empty areas are no areas", {9000, 9000, 170, 170}, {{0, 0, 0, 0}}, {9000, 9000}},
        {"extreme coordinates", {INT32_MIN, INT32_MAX, 170, 170}, laptop, {0, 630}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::fitOnScreen(c.widget, c.areas), c.origin) << c.what;
}

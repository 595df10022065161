#include "Platform/WidgetHost/DayClock.h"
#include "Platform/WidgetHost/PlacementList.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/LocalTime.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using platform::DayWatch;
using platform::PlacementList;
using platform::WidgetFamily;

TEST(PlacementList, AddsMovesAndRemovesAndKeepsTheListAcrossRuns) {
    tarvelo::testsupport::TemporaryFolder folder;
    const auto file = folder.path() / "tarvelo" / "widgets.json";
    PlacementList list(file);
    EXPECT_EQ(list.load(), ""); // no file yet: nothing placed, and no problem
    EXPECT_EQ(list.add("K", WidgetFamily::systemSmall, std::nullopt).identifier, "1");
    EXPECT_EQ(list.cascadePosition(), std::pair(72, 72)); // the second one, a step down and right
    EXPECT_EQ(list.add("K", WidgetFamily::systemMedium, std::pair(10, 20)).identifier, "2");
    EXPECT_TRUE(list.contains("K", WidgetFamily::systemMedium));
    EXPECT_FALSE(list.contains("Other", WidgetFamily::systemMedium));
    list.move("2", 5, -6);
    EXPECT_TRUE(list.remove("1"));
    EXPECT_FALSE(list.remove("1"));
    EXPECT_EQ(list.save(), "");

    PlacementList again(file);
    EXPECT_EQ(again.load(), "");
    EXPECT_EQ(again.placements(),
              (std::vector<platform::WidgetPlacement>{{"2", "K", WidgetFamily::systemMedium, 5, -6}}));
    // The next identifier is one past the largest number in use.
    EXPECT_EQ(again.add("K", WidgetFamily::systemSmall, std::nullopt).identifier, "3");
}

TEST(DayWatch, RenewsOnANewDayAnotherZoneOrAClockThatJumped) {
    tarvelo::testsupport::EnvironmentGuard zone{{"TZ", "Europe/Berlin"}};
    const std::time_t evening = tarvelo::testsupport::localTime(2024, 6, 10, 23, 59, 0);
    DayWatch::Reading reading{evening, 0us};
    DayWatch watch([&] { return reading; });
    EXPECT_FALSE(watch.restart()); // the first time there is nothing to renew
    EXPECT_EQ(watch.untilDayTurn(), 61s);
    const struct {
        std::time_t now;
        std::chrono::microseconds wallAhead;
        const char* zone;
        bool moved;
    } cases[]{
        {evening + 59, 0us, "Europe/Berlin", false},
        {evening + 59, 1500ms, "Europe/Berlin", false}, // the clock's own jitter
        {evening + 60, 0us, "Europe/Berlin", true},     // midnight
        {evening, 3s, "Europe/Berlin", true},           // the clock was set, or the computer slept
        {evening, 0us, "Europe/London", true},          // same day, another zone
    };
    for (const auto& each : cases) {
        reading = {each.now, each.wallAhead};
        zone.set("TZ", each.zone);
        EXPECT_EQ(watch.moved(), each.moved)
            << each.now - evening << " " << each.wallAhead.count() << " " << each.zone;
    }
    EXPECT_TRUE(watch.restart());
    EXPECT_FALSE(watch.moved());
}

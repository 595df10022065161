#include "Platform/WidgetHost/DayClock.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/LocalTime.h"

#include <ctime>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using platform::DayClock;
using tarvelo::testsupport::localTime;

namespace {

struct ZoneGuard {
    explicit ZoneGuard(const char* zone)
        : environment{{"TZ", zone}} {
        ::tzset();
    }
    ~ZoneGuard() { ::tzset(); }
    tarvelo::testsupport::EnvironmentGuard environment;
};

} // namespace

TEST(DayClock, WaitsUntilTheNextLocalMidnightThroughShortAndLongDays) {
    ZoneGuard zone("Europe/Berlin");
    // Clocks go forward at 02:00 on 31 March 2024 and back at 03:00 on 27 October.
    const std::pair<std::time_t, std::chrono::seconds> cases[] = {{localTime(2024, 6, 10, 23, 59, 30), 30s},
                                                                  {localTime(2024, 6, 10, 0, 0, 0), 24h},
                                                                  {localTime(2024, 12, 31, 12, 0, 0), 12h},
                                                                  {localTime(2024, 3, 31, 0, 0, 0), 23h},
                                                                  {localTime(2024, 10, 27, 0, 0, 0), 25h}};
    for (const auto& [now, wait] : cases)
        EXPECT_EQ(DayClock::untilNextDay(now), wait) << now;
}

TEST(DayClock, ZonesWithoutAMidnightStillTurnOnce) {
    // America/Santiago skipped from 00:00 to 01:00 on 8 September 2024.
    ZoneGuard zone("America/Santiago");
    const auto wait = DayClock::untilNextDay(localTime(2024, 9, 7, 12, 0, 0));
    EXPECT_GE(wait, 12h);
    EXPECT_LE(wait, 13h);
    EXPECT_EQ(DayClock::dayNumber(localTime(2024, 9, 7, 12, 0, 0) + wait / 1s), 20240908);
}

TEST(DayClock, DayNumberIsTheLocalDate) {
    ZoneGuard zone("Asia/Tokyo");
    EXPECT_EQ(DayClock::dayNumber(0), 19700101); // 09:00 local on the first day
    ZoneGuard west("Pacific/Pago_Pago");
    EXPECT_EQ(DayClock::dayNumber(0), 19691231);
}

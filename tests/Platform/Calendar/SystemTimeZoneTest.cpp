#include "Platform/Calendar/SystemTimeZone.h"

#include "Platform/Calendar/Calendar.h"
#include "tests/Support/EnvironmentGuard.h"

#include <gtest/gtest.h>

using platform::SystemTimeZone;
using tarvelo::testsupport::EnvironmentGuard;

namespace {

// Offset from UTC, in hours, of the current zone at a given instant.
double currentOffsetHours(platform::Instant instant) {
    const auto zone = SystemTimeZone::current();
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone->getOffset(instant.udate(), false, raw, dst, status);
    return (raw + dst) / 3600000.0;
}

const auto january2026 = platform::Instant::sinceUnixEpoch(1767225600); // 2026-01-01T00:00Z
const auto july2026 = platform::Instant::sinceUnixEpoch(1782864000);    // 2026-07-01T00:00Z

} // namespace

TEST(SystemTimeZone, ReadsTheFormsOfTzThatIcuGetsWrong) {
    EnvironmentGuard environment;
    const std::pair<const char*, const char*> cases[] = {
        {":Europe/Paris", "Europe/Paris"},
        {"/usr/share/zoneinfo/America/New_York", "America/New_York"},
        {":/usr/share/zoneinfo/posix/Asia/Tokyo", "Asia/Tokyo"},
        {"", "UTC"}};
    for (const auto& [tz, identifier] : cases) {
        environment.set("TZ", tz);
        EXPECT_EQ(SystemTimeZone::identifier(), identifier) << tz;
    }
}

TEST(SystemTimeZone, AChangedTzTakesEffectAtTheNextCall) {
    EnvironmentGuard environment{{"TZ", "Asia/Tokyo"}};
    EXPECT_EQ(currentOffsetHours(january2026), 9.0);
    environment.set("TZ", "Pacific/Auckland");
    EXPECT_EQ(currentOffsetHours(january2026), 13.0);
    EXPECT_EQ(currentOffsetHours(july2026), 12.0);
    // A calendar made after the change is in the new zone too.
    EXPECT_EQ(platform::Calendar::current().timeZoneIdentifier(), "Pacific/Auckland");
}

TEST(SystemTimeZone, UnknownOrRuleValuesNeverFailAndKeepTheOffsetWhereIcuCanTell) {
    EnvironmentGuard environment{{"TZ", "Not/A_Zone"}};
    EXPECT_FALSE(SystemTimeZone::identifier().empty());
    environment.set("TZ", "EST5EDT");
    EXPECT_EQ(currentOffsetHours(january2026), -5.0);
    EXPECT_EQ(currentOffsetHours(july2026), -4.0);
}

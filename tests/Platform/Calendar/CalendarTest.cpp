#include "Platform/Calendar/Calendar.h"

#include "Platform/Calendar/DateFormatter.h"
#include "tests/Support/EnvironmentGuard.h"

#include <gtest/gtest.h>
#include <limits>

using platform::Calendar;
using platform::CalendarUnit;
using platform::Instant;

namespace {

Instant utc(double unixSeconds) {
    return Instant::sinceUnixEpoch(unixSeconds);
}

// 2026-12-06T22:30:00Z
const Instant sundayEvening = utc(1796596200);

} // namespace

TEST(Calendar, LocalesSelectTheirCalendarSystemFirstWeekdayAndSymbols) {
    struct Case {
        const char* locale;
        const char* system;
        int firstWeekday;
    };
    for (const Case& expected :
         {Case{"en_US", "gregorian", 1}, Case{"de_DE", "gregorian", 2}, Case{"th_TH", "buddhist", 1},
          Case{"ar_SA", "islamic-umalqura", 1}, Case{"ja_JP@calendar=japanese", "japanese", 1},
          Case{"fa_IR", "persian", 7}, Case{"he_IL@calendar=hebrew", "hebrew", 1},
          Case{"en_GB@fw=sun", "gregorian", 1}, Case{"en_US@fw=sat", "gregorian", 7}}) {
        const Calendar calendar(expected.locale, "UTC");
        EXPECT_EQ(calendar.identifier(), expected.system) << expected.locale;
        EXPECT_EQ(calendar.firstWeekday(), expected.firstWeekday) << expected.locale;
    }
    // Weekday symbols start on Sunday in every locale, whatever its first weekday.
    EXPECT_EQ(Calendar("en_US", "UTC").veryShortStandaloneWeekdaySymbols(),
              (std::vector<std::string>{"S", "M", "T", "W", "T", "F", "S"}));
    EXPECT_EQ(Calendar("de_DE", "UTC").veryShortStandaloneWeekdaySymbols(),
              (std::vector<std::string>{"S", "M", "D", "M", "D", "F", "S"}));
    EXPECT_EQ(Calendar("ja_JP@calendar=japanese", "UTC").veryShortStandaloneWeekdaySymbols().front(), "日");
}

TEST(Calendar, CurrentFollowsTheEnvironmentAtEachCall) {
    auto environment = tarvelo::testsupport::pinLocaleAndZone("th_TH.UTF-8", "Asia/Bangkok");
    EXPECT_EQ(Calendar::current().identifier(), "buddhist");
    EXPECT_EQ(Calendar::current().timeZoneIdentifier(), "Asia/Bangkok");
    environment.set("LC_TIME", "de_DE.UTF-8");
    EXPECT_EQ(Calendar::current().identifier(), "gregorian");
    EXPECT_EQ(Calendar::current().firstWeekday(), 2);
}

TEST(Calendar, ComponentsAndDaysFollowTheTimeZone) {
    const Calendar utcCalendar("en_US", "UTC");
    const Calendar auckland("en_US", "Pacific/Auckland");
    // Sunday 22:30 in UTC is already Monday morning in Auckland.
    EXPECT_EQ(utcCalendar.component(CalendarUnit::weekday, sundayEvening), 1);
    EXPECT_EQ(auckland.component(CalendarUnit::weekday, sundayEvening), 2);
    EXPECT_EQ(auckland.component(CalendarUnit::day, sundayEvening), 7);
    EXPECT_EQ(auckland.component(CalendarUnit::month, sundayEvening), 12);

    const Instant nextMorning = sundayEvening + 8 * 3600.0; // 06:30Z on Monday
    EXPECT_FALSE(utcCalendar.isDate(sundayEvening, nextMorning));
    EXPECT_TRUE(auckland.isDate(sundayEvening, nextMorning));
}

TEST(Calendar, StartOfMonthIsLocalMidnightOfDayOne) {
    const Calendar newYork("en_US", "America/New_York");
    const auto start = newYork.startOfMonth(newYork.yearMonth(sundayEvening));
    ASSERT_TRUE(start);
    EXPECT_EQ(start->timeIntervalSince1970(), 1796101200); // 2026-12-01T00:00-05:00

    // A calendar whose years restart with each era still finds the right month.
    const Calendar japanese("ja_JP@calendar=japanese", "Asia/Tokyo");
    const auto heisei = utc(946684800); // 2000-01-01, Heisei 12
    const auto month = japanese.yearMonth(heisei);
    EXPECT_EQ(month.year, 12);
    const auto heiseiStart = japanese.startOfMonth(month);
    ASSERT_TRUE(heiseiStart);
    EXPECT_EQ(heiseiStart->timeIntervalSince1970(), 946684800 - 9 * 3600);
}

TEST(Calendar, AddingCarriesIntoHigherUnitsAndReachesFarWithoutOverflow) {
    const Calendar calendar("en_US", "UTC");
    const auto december = *calendar.startOfMonth(calendar.yearMonth(sundayEvening));
    const auto january = calendar.adding(CalendarUnit::month, 1, december);
    ASSERT_TRUE(january);
    EXPECT_EQ(calendar.component(CalendarUnit::year, *january), 2027);
    EXPECT_EQ(calendar.component(CalendarUnit::month, *january), 1);

    const auto farAhead = calendar.adding(CalendarUnit::month, 12 * 5000, december);
    ASSERT_TRUE(farAhead);
    EXPECT_EQ(calendar.component(CalendarUnit::year, *farAhead), 7026);
    const auto farBack = calendar.adding(CalendarUnit::month, -12 * 3000, december);
    ASSERT_TRUE(farBack);
    EXPECT_EQ(calendar.component(CalendarUnit::era, *farBack), 0) << "4th century BC";

    EXPECT_FALSE(calendar.adding(CalendarUnit::month, std::numeric_limits<std::int64_t>::max(), december));
    EXPECT_FALSE(calendar.adding(CalendarUnit::month, std::numeric_limits<std::int64_t>::min(), december));
}

TEST(DateFormatter, SkeletonsResolveThroughTheLocale) {
    const Instant december = utc(1796601600); // 2026-12-07T00:00Z
    const auto format = [&](const char* locale, const char* skeleton) {
        platform::DateFormatter formatter(Calendar(locale, "UTC"));
        formatter.setLocalizedDateFormatFromTemplate(skeleton);
        return formatter.string(december);
    };
    EXPECT_EQ(format("en_US", "MMMM yyyy"), "December 2026");
    // A month named on its own takes the stand-alone form.
    EXPECT_EQ(format("pl_PL", "MMMM"), "grudzień");
    EXPECT_EQ(format("pl_PL", "MMMM yyyy"), "grudzień 2026");
    EXPECT_EQ(format("ru_RU", "MMMM yyyy"), "декабрь 2026\u202fг.");
}

TEST(Calendar, AddingAtTheEdgeOfTheCalendarsRangeAnswersPromptly) {
    const Calendar calendar("en_US", "UTC");
    const Instant start = utc(0);
    for (std::int64_t months : {12LL * 5'000'000, -12LL * 5'000'000, 12LL * 5'890'000, -12LL * 5'890'000})
        (void)calendar.adding(CalendarUnit::month, months, start);
    for (const char* locale :
         {"ar_SA", "he_IL@calendar=hebrew", "ja_JP@calendar=japanese", "zh_CN@calendar=chinese"}) {
        const Calendar other(locale, "UTC");
        (void)other.adding(CalendarUnit::month, 12LL * 5'890'000, start);
        (void)other.adding(CalendarUnit::month, -12LL * 5'890'000, start);
    }
}

TEST(Calendar, ConsecutiveDaysAgreeWithDayByDayCalendarArithmetic) {
    // The fast path counts days itself; ICU adding one day at a time is the
    // reference, across calendar systems and zones with awkward clock changes.
    for (const char* locale : {"en_US", "ar_SA", "he_IL@calendar=hebrew", "zh_CN@calendar=chinese", "fa_IR",
                               "ja_JP@calendar=japanese", "th_TH"}) {
        for (const char* zone :
             {"UTC", "America/Sao_Paulo", "Asia/Beirut", "Pacific/Apia", "Europe/London"}) {
            const Calendar calendar(locale, zone);
            for (double unixDay = 14000; unixDay < 22000; unixDay += 97) {
                const auto first = *calendar.startOfDay(utc(unixDay * 86400));
                const auto days = calendar.consecutiveDays(first, 42);
                ASSERT_EQ(days.size(), 42u);
                for (int index = 0; index < 42; ++index) {
                    const auto reference = *calendar.adding(CalendarUnit::day, index, first);
                    const auto& day = days[static_cast<std::size_t>(index)];
                    ASSERT_EQ(day.dayNumber, calendar.dayNumber(reference)) << locale << " " << zone;
                    ASSERT_EQ(day.month, calendar.yearMonth(reference))
                        << locale << " " << zone << " " << unixDay;
                    ASSERT_EQ(day.start, *calendar.startOfDay(reference))
                        << locale << " " << zone << " " << unixDay;
                }
            }
        }
    }
}

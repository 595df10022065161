// The month page's grid, title and weekday headings. Grids are checked
// against the standard library's civil calendar, not ICU.
#include "TarveloFeature/MonthModel/MonthGrid.h"

#include "tests/Support/EnvironmentGuard.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>

using namespace tarvelo;
using platform::CalendarUnit;
using platform::Instant;
namespace chrono = std::chrono;
using Strings = std::vector<std::string>;

namespace {

const Instant december2026 = Instant::sinceUnixEpoch(1796601600); // 2026-12-07T00:00Z

Instant utcMidnight(chrono::year_month_day day) {
    return Instant::sinceUnixEpoch(86400.0 * chrono::sys_days(day).time_since_epoch().count());
}

chrono::year_month_day localDay(const platform::Calendar& calendar, Instant instant) {
    return chrono::year(calendar.component(CalendarUnit::year, instant)) /
           static_cast<unsigned>(calendar.component(CalendarUnit::month, instant)) /
           static_cast<unsigned>(calendar.component(CalendarUnit::day, instant));
}

// The first day of the first week, then 42 consecutive days.
std::vector<chrono::year_month_day> expectedDays(chrono::year_month month, chrono::weekday firstWeekday) {
    const chrono::sys_days first = chrono::sys_days(month / 1);
    std::vector<chrono::year_month_day> days;
    for (int index = 0; index < 42; ++index)
        days.emplace_back(first - (chrono::weekday(first) - firstWeekday) + chrono::days(index));
    return days;
}

} // namespace

TEST(MonthGrid, EveryMonthFrom1900To2100MatchesAnIndependentCalendar) {
    for (const auto& [locale, weekday] :
         {std::pair{"en_US.UTF-8", chrono::Sunday}, {"en_GB.UTF-8", chrono::Monday}}) {
        const auto environment = testsupport::pinLocaleAndZone(locale, "UTC");
        for (int year = 1900; year <= 2100; ++year) {
            for (unsigned monthNumber = 1; monthNumber <= 12; ++monthNumber) {
                const chrono::year_month month{chrono::year(year), chrono::month(monthNumber)};
                // Any instant of the month gives the same grid.
                const Instant within = utcMidnight(month / 15) + 13.5 * 3600;
                const auto cells = MonthGrid::cells(within, within);
                const auto expected = expectedDays(month, weekday);
                ASSERT_EQ(cells.size(), 42u);
                for (std::size_t index = 0; index < 42; ++index) {
                    const DayCell& cell = cells[index];
                    ASSERT_EQ(cell.id, static_cast<std::int64_t>(index));
                    ASSERT_EQ(cell.date, utcMidnight(expected[index]))
                        << year << "-" << monthNumber << " #" << index;
                    ASSERT_EQ(cell.inVisibleMonth, expected[index].year() / expected[index].month() == month);
                    ASSERT_EQ(cell.isToday, expected[index] == month / 15);
                }
            }
        }
    }
}

TEST(MonthGrid, DaysStartAtLocalMidnightWhereClocksSkipIt) {
    // São Paulo's 2018-11-04 began at 01:00.
    const auto environment = testsupport::pinLocaleAndZone("pt_BR.UTF-8", "America/Sao_Paulo");
    const auto calendar = MonthGrid::calendar();
    const Instant november = Instant::sinceUnixEpoch(1541462400); // 2018-11-06
    const auto cells = MonthGrid::cells(november, november);
    const auto expected = expectedDays(chrono::year(2018) / 11, chrono::Sunday);
    for (std::size_t index = 0; index < 42; ++index) {
        EXPECT_EQ(localDay(calendar, cells[index].date), expected[index]) << index;
        EXPECT_EQ(calendar.startOfDay(cells[index].date), cells[index].date) << index;
    }
}

TEST(MonthGrid, OffsetsStepByCalendarMonthsToLocalMidnightWithoutLimit) {
    const auto environment = testsupport::pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    const Instant midJanuary = Instant::sinceUnixEpoch(1768478400); // 2026-01-15T12:00Z
    const std::pair<std::int64_t, double> cases[] = {
        {0, 1767222000},      // 2026-01-01T00:00+01:00
        {6, 1782856800},      // 2026-07-01T00:00+02:00
        {-25, 1701385200},    // 2023-12-01T00:00+01:00
        {36005, 96451077600}, // 5026-06-01T00:00+02:00
    };
    for (const auto& [offset, start] : cases)
        EXPECT_EQ(MonthGrid::month(offset, midJanuary).timeIntervalSince1970(), start) << offset;
}

TEST(MonthGrid, OffsetsAndMonthsBeyondAnyCalendarFallBackToAFullGrid) {
    const auto environment = testsupport::pinLocaleAndZone("en_US.UTF-8", "UTC");
    const Instant now = Instant::sinceUnixEpoch(1796596200);
    for (std::int64_t offset : {INT64_MAX, INT64_MIN, std::int64_t{1} << 40})
        EXPECT_EQ(MonthGrid::month(offset, now), MonthGrid::month(0, now));
    for (const double month : {1e300, std::nan("")})
        EXPECT_EQ(MonthGrid::cells(Instant::sinceReferenceDate(month), now).size(), 42u);
}

TEST(MonthGrid, TitleNamesTheYearOfTheUsersCalendarOnlyWhenItIsNotTheCurrentOne) {
    const Instant march2026 = Instant::sinceUnixEpoch(1772755200);
    const Instant january2027 = Instant::sinceUnixEpoch(1798761600);
    const char* const cases[][3] = {
        {"en_US.UTF-8", "March", "January 2027"},
        {"de_DE.UTF-8", "März", "Januar 2027"},
        {"pl_PL.UTF-8", "marzec", "styczeń 2027"}, // the stand-alone form
        {"ja_JP.UTF-8@calendar=japanese", "3月", "令和9年1月"},
        // March 2026 is in 1447, December 2026 and January 2027 in 1448.
        {"ar_SA.UTF-8", "رمضان ١٤٤٧ هـ", "رجب"},
    };
    for (const auto& [locale, otherYear, sameYear] : cases) {
        const auto environment = testsupport::pinLocaleAndZone(locale, "UTC");
        EXPECT_EQ(MonthGrid::title(march2026, december2026), otherYear) << locale;
        EXPECT_EQ(MonthGrid::title(january2027, december2026), sameYear) << locale;
    }
}

// The headings start at the calendar's first weekday, as the grid's first column does.
TEST(MonthGrid, WeekdayHeadingsBeginWithTheCalendarsFirstWeekday) {
    const std::pair<const char*, Strings> cases[] = {
        {"en_US.UTF-8", {"S", "M", "T", "W", "T", "F", "S"}},
        {"en_GB.UTF-8", {"M", "T", "W", "T", "F", "S", "S"}},
        {"pl_PL.UTF-8", {"P", "W", "Ś", "C", "P", "S", "N"}},
        {"en_US.UTF-8@fw=sat", {"S", "S", "M", "T", "W", "T", "F"}},
        {"fa_IR.UTF-8", {"ش", "ی", "د", "س", "چ", "پ", "ج"}},
    };
    for (const auto& [locale, symbols] : cases) {
        const auto environment = testsupport::pinLocaleAndZone(locale, "UTC");
        EXPECT_EQ(MonthGrid::weekdaySymbols(), symbols) << locale;
        const auto calendar = MonthGrid::calendar();
        EXPECT_EQ(
            calendar.component(CalendarUnit::weekday, MonthGrid::cells(december2026, december2026)[0].date),
            calendar.firstWeekday())
            << locale;
    }
    // The full names, as a screen reader reads the headings, in the same order.
    const auto environment = testsupport::pinLocaleAndZone("de_DE.UTF-8", "UTC");
    EXPECT_EQ(MonthGrid::weekdayNames(),
              (Strings{"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"}));
}

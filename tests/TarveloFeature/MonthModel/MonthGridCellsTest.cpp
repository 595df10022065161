#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "tests/Support/EnvironmentGuard.h"

#include <chrono>
#include <cmath>
#include <gtest/gtest.h>

using namespace tarvelo;
using platform::CalendarUnit;
using platform::Instant;
namespace chrono = std::chrono;

namespace {

Instant utcMidnight(chrono::year_month_day day) {
    return Instant::sinceUnixEpoch(static_cast<double>(chrono::sys_days(day).time_since_epoch().count()) *
                                   86400.0);
}

chrono::year_month_day localDay(const platform::Calendar& calendar, Instant instant) {
    return chrono::year(calendar.component(CalendarUnit::year, instant)) /
           static_cast<unsigned>(calendar.component(CalendarUnit::month, instant)) /
           static_cast<unsigned>(calendar.component(CalendarUnit::day, instant));
}

// The grid worked out with the standard library's civil calendar instead of
// ICU: the first day of the first week, then 42 consecutive days.
std::vector<chrono::year_month_day> expectedDays(chrono::year_month month, chrono::weekday firstWeekday) {
    const chrono::sys_days first = chrono::sys_days(month / 1);
    const auto leading = (chrono::weekday(first) - firstWeekday).count();
    std::vector<chrono::year_month_day> days;
    for (int index = 0; index < 42; ++index)
        days.emplace_back(first - chrono::days(leading) + chrono::days(index));
    return days;
}

int countToday(const std::vector<DayCell>& cells) {
    return static_cast<int>(
        std::count_if(cells.begin(), cells.end(), [](const DayCell& cell) { return cell.isToday; }));
}

} // namespace

TEST(MonthGridCells, EveryMonthFrom1900To2100MatchesAnIndependentCalendar) {
    struct Start {
        const char* locale;
        chrono::weekday weekday;
    };
    for (const Start start : {Start{"en_US.UTF-8", chrono::Sunday}, Start{"en_GB.UTF-8", chrono::Monday}}) {
        const auto environment = testsupport::pinLocaleAndZone(start.locale, "UTC");
        for (int year = 1900; year <= 2100; ++year) {
            for (unsigned monthNumber = 1; monthNumber <= 12; ++monthNumber) {
                const chrono::year_month month{chrono::year(year), chrono::month(monthNumber)};
                // Ask with an instant in the middle of the month: any instant of it gives the same grid.
                const Instant within = utcMidnight(month / 15) + 13.5 * 3600;
                const auto cells = MonthGrid::cells(within, within);
                const auto expected = expectedDays(month, start.weekday);
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

TEST(MonthGridCells, TodayIsMarkedByTheLocalCalendarDay) {
    // 2026-12-06 22:30 UTC is the morning of Monday 7 December in Auckland.
    const Instant evening = Instant::sinceUnixEpoch(1796596200);
    const auto environment = testsupport::pinLocaleAndZone("en_NZ.UTF-8", "Pacific/Auckland");
    const auto calendar = MonthGrid::calendar();
    const Instant december = MonthGrid::month(0, evening);
    const auto cells = MonthGrid::cells(december, evening);
    ASSERT_EQ(countToday(cells), 1);
    const auto today =
        std::find_if(cells.begin(), cells.end(), [](const DayCell& cell) { return cell.isToday; });
    EXPECT_EQ(localDay(calendar, today->date), chrono::year(2026) / 12 / 7);
    EXPECT_TRUE(today->inVisibleMonth);

    // Two months away the grid does not reach today.
    EXPECT_EQ(countToday(MonthGrid::cells(MonthGrid::month(2, evening), evening)), 0);
    // November's grid (Monday weeks) runs to Sunday 6 December: on 2
    // December today is among its trailing days, outside its month.
    const Instant secondOfDecember = evening - 5 * 86400.0;
    const auto november = MonthGrid::cells(MonthGrid::month(-1, evening), secondOfDecember);
    ASSERT_EQ(countToday(november), 1);
    EXPECT_FALSE(std::find_if(november.begin(), november.end(), [](const DayCell& c) {
                     return c.isToday;
                 })->inVisibleMonth);
}

TEST(MonthGridCells, DaysStartAtLocalMidnightWhereClocksSkipIt) {
    // São Paulo moved its clocks forward at midnight on 2018-11-04, so that
    // day began at 01:00. Every cell is still the start of its own day.
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

TEST(MonthGridMonth, OffsetsStepByCalendarMonthsWithoutLimit) {
    const auto environment = testsupport::pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    const auto calendar = MonthGrid::calendar();
    const Instant midJanuary = Instant::sinceUnixEpoch(1768478400); // 2026-01-15T12:00Z

    const Instant current = MonthGrid::month(0, midJanuary);
    EXPECT_EQ(current.timeIntervalSince1970(), 1767222000) << "2026-01-01T00:00+01:00";
    EXPECT_EQ(localDay(calendar, MonthGrid::month(-1, midJanuary)), chrono::year(2025) / 12 / 1);
    EXPECT_EQ(localDay(calendar, MonthGrid::month(12, midJanuary)), chrono::year(2027) / 1 / 1);
    EXPECT_EQ(localDay(calendar, MonthGrid::month(-25, midJanuary)), chrono::year(2023) / 12 / 1);
    EXPECT_EQ(localDay(calendar, MonthGrid::month(12 * 3000 + 5, midJanuary)), chrono::year(5026) / 6 / 1);
    // Summer months start at a different UTC offset; still local midnight.
    EXPECT_EQ(MonthGrid::month(6, midJanuary).timeIntervalSince1970(), 1782856800)
        << "2026-07-01T00:00+02:00";
}

TEST(MonthGridMonth, OffsetsBeyondAnyCalendarFallBackToAFullGrid) {
    const auto environment = testsupport::pinLocaleAndZone("en_US.UTF-8", "UTC");
    const Instant now = Instant::sinceUnixEpoch(1796596200);
    for (std::int64_t offset : {INT64_MAX, INT64_MIN, std::int64_t{1} << 40}) {
        const Instant month = MonthGrid::month(offset, now);
        EXPECT_EQ(month, MonthGrid::month(0, now));
        EXPECT_EQ(MonthGrid::cells(month, now).size(), 42u);
    }
    EXPECT_EQ(MonthGrid::cells(Instant::sinceReferenceDate(1e300), now).size(), 42u);
    EXPECT_EQ(MonthGrid::cells(Instant::sinceReferenceDate(std::nan("")), now).size(), 42u);
}

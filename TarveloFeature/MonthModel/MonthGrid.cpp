#include "TarveloFeature/MonthModel/MonthGrid.h"

#include "Platform/Calendar/DateFormatter.h"

#include <algorithm>

namespace tarvelo::MonthGrid {

using platform::Calendar;
using platform::CalendarUnit;
using platform::Instant;

namespace {

// Whether two instants lie in the same year of the calendar, eras included
// (a Japanese year number alone repeats with each era).
bool isSameYear(const Calendar& calendar, Instant first, Instant second) {
    const auto a = calendar.yearMonth(first);
    const auto b = calendar.yearMonth(second);
    return a.era == b.era && a.year == b.year;
}

// What a grid falls back to when the calendar cannot name its days, which
// only offsets of millions of years lead to: 42 plain days from `date`, none
// in the month and none today, so the caller still gets a full grid.
std::vector<DayCell> fallbackCells(Instant date) {
    std::vector<DayCell> cells;
    cells.reserve(cellCount);
    for (std::int64_t index = 0; index < cellCount; ++index)
        cells.push_back(DayCell{index, date + 86400.0 * static_cast<double>(index), false, false});
    return cells;
}

// Weekday texts (Sunday first, as the calendar gives them) in the grid's
// column order: from the calendar's first weekday.
std::vector<std::string> inColumnOrder(const Calendar& calendar, std::vector<std::string> texts) {
    const auto first = static_cast<std::size_t>(calendar.firstWeekday() - 1);
    if (first < texts.size())
        std::rotate(texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(first), texts.end());
    return texts;
}

} // namespace

Calendar calendar() {
    return Calendar::current();
}

Instant month(std::int64_t offsetFromToday, Instant now) {
    const Calendar calendar = MonthGrid::calendar();
    const auto startOfCurrentMonth = calendar.startOfMonth(calendar.yearMonth(now));
    if (!startOfCurrentMonth)
        return now;
    const auto target = calendar.adding(CalendarUnit::month, offsetFromToday, *startOfCurrentMonth);
    if (!target)
        return *startOfCurrentMonth;
    // Adding months keeps the wall-clock time of the start; where a clock
    // change skipped one month's midnight but not the other's, that time is
    // not the target's first instant, so take the target's own start.
    return calendar.startOfMonth(calendar.yearMonth(*target)).value_or(*target);
}

std::vector<DayCell> cells(Instant date, Instant now) {
    const Calendar calendar = MonthGrid::calendar();
    const auto visibleMonth = calendar.yearMonth(date);
    const auto startOfMonth = calendar.startOfMonth(visibleMonth);
    if (!startOfMonth)
        return fallbackCells(date);

    // Pass 1: how many days of the previous month precede day 1 in the first week.
    const int weekday = calendar.component(CalendarUnit::weekday, *startOfMonth);
    const int leading = (weekday - calendar.firstWeekday() + 7) % 7;

    // Pass 2: the 42 days from the grid's first day.
    const auto gridStart = calendar.adding(CalendarUnit::day, -leading, *startOfMonth);
    if (!gridStart)
        return fallbackCells(date);
    const auto days = calendar.consecutiveDays(*gridStart, static_cast<int>(cellCount));
    if (days.size() != static_cast<std::size_t>(cellCount))
        return fallbackCells(date);

    // Pass 3: mark the visible month and today.
    const auto today = calendar.dayNumber(now);
    std::vector<DayCell> cells;
    cells.reserve(cellCount);
    for (std::int64_t index = 0; index < cellCount; ++index) {
        const auto& day = days[static_cast<std::size_t>(index)];
        cells.push_back(DayCell{index, day.start, day.month == visibleMonth, day.dayNumber == today});
    }
    return cells;
}

std::string title(Instant date, Instant now) {
    const Calendar calendar = MonthGrid::calendar();
    platform::DateFormatter formatter(calendar);
    formatter.setLocalizedDateFormatFromTemplate(isSameYear(calendar, date, now) ? "MMMM" : "MMMM yyyy");
    return formatter.string(date);
}

std::vector<std::string> weekdaySymbols() {
    const Calendar calendar = MonthGrid::calendar();
    return inColumnOrder(calendar, calendar.veryShortStandaloneWeekdaySymbols());
}

std::vector<std::string> weekdayNames() {
    const Calendar calendar = MonthGrid::calendar();
    return inColumnOrder(calendar, calendar.standaloneWeekdaySymbols());
}

} // namespace tarvelo::MonthGrid

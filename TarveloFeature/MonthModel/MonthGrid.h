#pragma once

#include "Platform/Calendar/Calendar.h"
#include "Platform/Calendar/Instant.h"
#include "TarveloFeature/MonthModel/DayCell.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarvelo {

// The calendar arithmetic of the widget's month page. Stateless: every call
// builds its calendar (and formatter) afresh, so a change of time zone,
// calendar system, locale or first weekday shows at the next call.
namespace MonthGrid {

inline constexpr std::int64_t rowCount = 6;
inline constexpr std::int64_t columnCount = 7;
// Every month is shown six weeks tall, never four or five.
inline constexpr std::int64_t cellCount = rowCount * columnCount;

// The user's current calendar in the system's current time zone.
platform::Calendar calendar();

// The first instant of the month `offsetFromToday` months from the month of
// `now` (negative = earlier). Offsets are not limited; one the calendar cannot
// reach (millions of years away) gives the start of the month of `now`.
platform::Instant month(std::int64_t offsetFromToday, platform::Instant now);

// The 42 days of the six-week grid of the month holding `date`, starting on
// the calendar's first day of the week; `now` decides which cell is today.
std::vector<DayCell> cells(platform::Instant date, platform::Instant now);

// The month's name, with the year when it differs from the year of `now`,
// in the locale's own form.
std::string title(platform::Instant date, platform::Instant now);

// The very short stand-alone weekday symbols, starting with the calendar's
// first day of the week, so symbol c heads column c of the grid.
std::vector<std::string> weekdaySymbols();

// The full stand-alone weekday names in the same order, as a screen reader
// reads the columns' headings.
std::vector<std::string> weekdayNames();

} // namespace MonthGrid

} // namespace tarvelo

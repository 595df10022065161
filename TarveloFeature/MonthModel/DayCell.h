#pragma once

#include "Platform/Calendar/Instant.h"

#include <cstdint>

namespace tarvelo {

// One position of the six-week month grid.
struct DayCell {
    // Position in the grid, 0 to 41: cells 0-6 are the first week, 35-41 the sixth.
    // It is also the cell's identity, so every month's grid reuses 0 to 41.
    std::int64_t id = 0;
    // The day shown: the grid's first day plus `id` days.
    platform::Instant date;
    // The day lies in the month being shown (not a neighbouring month's).
    bool inVisibleMonth = false;
    // The day is the calendar day of the `now` the grid was made for.
    bool isToday = false;

    bool operator==(const DayCell&) const = default;
};

} // namespace tarvelo

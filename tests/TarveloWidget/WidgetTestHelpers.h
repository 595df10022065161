#pragma once

#include "Platform/Calendar/Instant.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloWidget/MonthEntry.h"

namespace tarvelo::testsupport {

// An instant given as a local Berlin time in 2025 (UTC+1 until 30 March).
inline platform::Instant berlinWinter2025(int month, int day, int hour) {
    // 2025-01-01 00:00 UTC is 757382400 seconds after the reference date.
    static constexpr int daysBeforeMonth[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const double days = daysBeforeMonth[month - 1] + (day - 1);
    return platform::Instant::sinceReferenceDate(757382400.0 + days * 86400.0 + (hour - 1) * 3600.0);
}

// An entry showing the month that holds `shown`.
inline MonthEntry entryShowing(platform::Instant shown) {
    MonthEntry entry;
    entry.date = shown;
    entry.visibleMonth = MonthGrid::month(0, shown);
    return entry;
}

} // namespace tarvelo::testsupport

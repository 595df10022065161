#pragma once

#include "Platform/Calendar/Instant.h"

#include <cstdint>
#include <optional>

namespace tarvelo {

// One timeline entry of the widget: which month to show, and the month
// offset store's state at the moment the entry was made.
struct MonthEntry {
    // When the entry was made; the host shows it from this instant on.
    platform::Instant date;
    // First instant of the month to show.
    platform::Instant visibleMonth;
    // The store's month offset at `date`.
    std::int64_t offset = 0;
    // Seconds from the last recorded step to `date`; absent with no step recorded.
    std::optional<double> latency;
    // The store's step count at `date`.
    std::int64_t stepCount = 0;
    // The store's reset count at `date`.
    std::int64_t resetCount = 0;
    // Seconds from the store's creation to `date`; 0 for throw-away stores.
    double processAge = 0.0;
};

} // namespace tarvelo

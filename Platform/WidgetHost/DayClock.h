#pragma once

#include <chrono>
#include <ctime>

namespace platform {

// The local calendar day, as far as deciding when a widget's "today" moves
// on: the host re-renders at each turn of the day, since no extension is
// asked to schedule that.
struct DayClock {
    // The local date of `now` as one number (year * 10000 + month * 100 + day),
    // in the time zone as it is set at the moment of the call.
    static long dayNumber(std::time_t now);
    // Seconds the local time of `now` is ahead of UTC, in the zone as set now.
    static long utcOffset(std::time_t now);
    // How long from `now` until the next local midnight (at least one
    // second), following daylight-saving changes of the local zone.
    static std::chrono::milliseconds untilNextDay(std::time_t now);
};

} // namespace platform

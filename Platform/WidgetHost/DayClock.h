#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>

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

// Tells the host when its widgets need new timelines: a new local day, a
// changed time zone, or a wall clock that jumped against the monotonic one
// (it was set, or the computer slept). The clock is injected.
class DayWatch {
public:
    struct Reading {
        std::time_t now = 0;
        // How far the wall clock runs ahead of the monotonic one.
        std::chrono::microseconds wallAhead{};
    };
    using Clock = std::function<Reading()>;
    static Reading systemClock();

    explicit DayWatch(Clock clock = systemClock)
        : clock_(std::move(clock)) {}

    // Takes the time as it is now for what follows; false the first time,
    // when there is nothing made earlier to renew.
    bool restart();
    // Whether the time moved since restart() (always, before the first).
    bool moved() const;
    // Until a second past the next local midnight, so that an extension's
    // "now" is surely the new day.
    std::chrono::milliseconds untilDayTurn() const;

private:
    struct Basis {
        long day = 0;
        long utcOffset = 0;
        std::chrono::microseconds wallAhead{};
    };
    Basis basisNow() const;

    Clock clock_;
    std::optional<Basis> basis_;
};

} // namespace platform

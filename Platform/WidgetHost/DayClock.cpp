#include "Platform/WidgetHost/DayClock.h"

#include <algorithm>

namespace platform {

long DayClock::dayNumber(std::time_t now) {
    // localtime_r keeps the zone it first read; tzset looks again at TZ and
    // /etc/localtime, so a zone changed while we run is seen.
    ::tzset();
    std::tm local{};
    ::localtime_r(&now, &local);
    return (local.tm_year + 1900L) * 10000L + (local.tm_mon + 1L) * 100L + local.tm_mday;
}

long DayClock::utcOffset(std::time_t now) {
    ::tzset();
    std::tm local{};
    ::localtime_r(&now, &local);
    return local.tm_gmtoff;
}

std::chrono::milliseconds DayClock::untilNextDay(std::time_t now) {
    std::tm local{};
    ::localtime_r(&now, &local);
    // Midnight of the following day; mktime normalises the 32nd and works
    // out whether daylight-saving time applies then.
    local.tm_mday += 1;
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1;
    std::tm midnight = local;
    std::time_t next = ::mktime(&midnight);
    // In a zone whose clocks skip midnight itself, mktime may settle on the
    // hour before it, still today; the day then starts at one o'clock.
    if (next != static_cast<std::time_t>(-1) && next <= now) {
        midnight = local;
        midnight.tm_hour = 1;
        next = ::mktime(&midnight);
    }
    if (next == static_cast<std::time_t>(-1) || next <= now)
        next = now + 3600;
    return std::chrono::milliseconds(std::max<long long>(1000, (static_cast<long long>(next) - now) * 1000));
}

DayWatch::Reading DayWatch::systemClock() {
    const auto wall = std::chrono::system_clock::now().time_since_epoch();
    const auto monotonic = std::chrono::steady_clock::now().time_since_epoch();
    return {std::time(nullptr), std::chrono::duration_cast<std::chrono::microseconds>(wall - monotonic)};
}

DayWatch::Basis DayWatch::basisNow() const {
    const auto reading = clock_();
    return {DayClock::dayNumber(reading.now), DayClock::utcOffset(reading.now), reading.wallAhead};
}

bool DayWatch::restart() {
    const bool first = !basis_;
    basis_ = basisNow();
    return !first;
}

bool DayWatch::moved() const {
    if (!basis_)
        return true;
    const auto now = basisNow();
    return now.day != basis_->day || now.utcOffset != basis_->utcOffset ||
           std::chrono::abs(now.wallAhead - basis_->wallAhead) > std::chrono::seconds(2);
}

std::chrono::milliseconds DayWatch::untilDayTurn() const {
    return DayClock::untilNextDay(clock_().now) + std::chrono::seconds(1);
}

} // namespace platform

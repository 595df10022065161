#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <optional>

namespace platform {

// An absolute point in time, kept as seconds since the reference date
// 2001-01-01 00:00:00 UTC, with sub-second precision. A double keeps
// microseconds within centuries of the reference date and cannot overflow for
// any date a calendar can name, which an integer tick count would.
class Instant {
public:
    // Seconds between the Unix epoch and the reference date.
    static constexpr double unixEpochToReferenceDate = 978307200.0;

    constexpr Instant() = default;

    static constexpr Instant sinceReferenceDate(double seconds) { return Instant(seconds); }
    static constexpr Instant sinceUnixEpoch(double seconds) {
        return Instant(seconds - unixEpochToReferenceDate);
    }
    // ICU's UDate: milliseconds since the Unix epoch.
    static constexpr Instant fromUDate(double milliseconds) { return sinceUnixEpoch(milliseconds / 1000.0); }

    // The current time from the system's real-time clock.
    static Instant now();

    constexpr double timeIntervalSinceReferenceDate() const { return secondsSinceReferenceDate_; }
    constexpr double timeIntervalSince1970() const {
        return secondsSinceReferenceDate_ + unixEpochToReferenceDate;
    }
    constexpr double udate() const { return timeIntervalSince1970() * 1000.0; }

    // Signed seconds from `earlier` to this instant (positive when this one is later).
    constexpr double timeIntervalSince(Instant earlier) const {
        return secondsSinceReferenceDate_ - earlier.secondsSinceReferenceDate_;
    }

    constexpr Instant addingTimeInterval(double seconds) const {
        return Instant(secondsSinceReferenceDate_ + seconds);
    }
    constexpr Instant operator+(double seconds) const { return addingTimeInterval(seconds); }
    constexpr Instant operator-(double seconds) const { return addingTimeInterval(-seconds); }

    // The whole seconds since the reference date, truncated toward zero;
    // absent when the value is not finite or does not fit 64 bits.
    std::optional<std::int64_t> truncatedSecondsSinceReferenceDate() const;

    constexpr auto operator<=>(const Instant&) const = default;

private:
    constexpr explicit Instant(double seconds)
        : secondsSinceReferenceDate_(seconds) {}

    double secondsSinceReferenceDate_ = 0.0;
};

} // namespace platform

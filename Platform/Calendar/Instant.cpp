#include "Platform/Calendar/Instant.h"

#include <cmath>

namespace platform {

Instant Instant::now() {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
    return sinceUnixEpoch(static_cast<double>(sinceEpoch) / 1e9);
}

std::optional<std::int64_t> Instant::truncatedSecondsSinceReferenceDate() const {
    const double truncated = std::trunc(secondsSinceReferenceDate_);
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(truncated) || truncated >= limit || truncated < -limit)
        return std::nullopt;
    return static_cast<std::int64_t>(truncated);
}

} // namespace platform

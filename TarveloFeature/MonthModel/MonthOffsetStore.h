#pragma once

#include "Platform/Calendar/Instant.h"
#include "Platform/Defaults/UserDefaults.h"

#include <cstdint>
#include <mutex>
#include <optional>

namespace tarvelo {

// How many months the user has stepped the widget away from the current
// month, with counters about the stepping. Persistent stores keep everything
// in user defaults and cache nothing; memory stores (placeholders, gallery
// previews) keep it in fields and touch no defaults at all.
//
// One lock per store makes every read, step and reset atomic against the
// others; the lock is not recursive, so no locked operation calls another.
class MonthOffsetStore {
public:
    static constexpr const char* offsetKey = "Tarvelo.visibleMonthOffset";
    static constexpr const char* stepCountKey = "Tarvelo.stepCount";
    static constexpr const char* lastStepAtKey = "Tarvelo.lastStepAt";
    static constexpr const char* resetCountKey = "Tarvelo.resetCount";

    // Persistent mode, over `defaults`, which must outlive the store.
    MonthOffsetStore(platform::UserDefaults& defaults, platform::Instant now);
    // Memory mode.
    explicit MonthOffsetStore(platform::Instant now);

    MonthOffsetStore(const MonthOffsetStore&) = delete;
    MonthOffsetStore& operator=(const MonthOffsetStore&) = delete;

    // The process-wide store over the standard user defaults, made on first
    // use (safely under concurrent first use) and kept until the process ends.
    static MonthOffsetStore& shared();

    platform::Instant createdAt() const { return createdAt_; }

    std::int64_t offset();
    std::int64_t stepCount();
    std::optional<platform::Instant> lastStepAt();
    std::int64_t resetCount();

    // Seconds from createdAt() to `now`.
    double age(platform::Instant now) const;
    // Seconds from the last step to `now`; absent when no step is recorded.
    std::optional<double> latency(platform::Instant now);

    // Adds `by` months to the offset, counts the step and stamps its time;
    // returns the new offset. Values saturate at the ends of the 64-bit range
    // rather than wrap around.
    std::int64_t step(std::int64_t by, platform::Instant now);

    // Back to the current month with no steps recorded; counts the reset.
    void resetForFreshPresentation();

    // Whether everything stepped so far is on disk: false when the defaults
    // had to keep it in memory (a file left as it is, a read-only file).
    // Always true for a memory store.
    bool isStored();

private:
    std::optional<platform::Instant> resolvedLastStepAt();

    std::mutex lock;
    platform::UserDefaults* const defaults;
    std::int64_t _offset = 0;
    std::int64_t _stepCount = 0;
    std::optional<platform::Instant> _lastStepAt;
    std::int64_t _resetCount = 0;
    const platform::Instant createdAt_;
};

} // namespace tarvelo

#include "TarveloFeature/MonthModel/MonthOffsetStore.h"

#include <limits>

namespace tarvelo {

using platform::Instant;

namespace {

std::int64_t saturatingAdd(std::int64_t value, std::int64_t delta) {
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(value, delta, &sum))
        return sum;
    return delta > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

} // namespace

MonthOffsetStore::MonthOffsetStore(platform::UserDefaults& userDefaults, Instant now)
    : defaults(&userDefaults)
    , createdAt_(now) {}

MonthOffsetStore::MonthOffsetStore(Instant now)
    : defaults(nullptr)
    , createdAt_(now) {}

MonthOffsetStore& MonthOffsetStore::shared() {
    static MonthOffsetStore store(platform::UserDefaults::standard(), Instant::now());
    return store;
}

std::int64_t MonthOffsetStore::offset() {
    std::lock_guard guard(lock);
    if (!defaults)
        return _offset;
    defaults->synchronize();
    return defaults->integer(offsetKey);
}

std::int64_t MonthOffsetStore::stepCount() {
    std::lock_guard guard(lock);
    return defaults ? defaults->integer(stepCountKey) : _stepCount;
}

std::int64_t MonthOffsetStore::resetCount() {
    std::lock_guard guard(lock);
    return defaults ? defaults->integer(resetCountKey) : _resetCount;
}

std::optional<Instant> MonthOffsetStore::lastStepAt() {
    std::lock_guard guard(lock);
    return resolvedLastStepAt();
}

std::optional<Instant> MonthOffsetStore::resolvedLastStepAt() {
    if (defaults)
        if (auto stored = defaults->date(lastStepAtKey))
            return stored;
    return _lastStepAt;
}

double MonthOffsetStore::age(Instant now) const {
    return now.timeIntervalSince(createdAt_);
}

std::optional<double> MonthOffsetStore::latency(Instant now) {
    std::lock_guard guard(lock);
    const auto last = resolvedLastStepAt();
    if (!last)
        return std::nullopt;
    return now.timeIntervalSince(*last);
}

std::int64_t MonthOffsetStore::step(std::int64_t by, Instant now) {
    std::lock_guard guard(lock);
    if (!defaults) {
        _offset = saturatingAdd(_offset, by);
        _stepCount = saturatingAdd(_stepCount, 1);
        _lastStepAt = now;
        return _offset;
    }
    std::int64_t newOffset = 0;
    // One exclusive pass over the defaults, so that a step taken at the same
    // moment by another process on the same domain is never lost.
    defaults->exclusively([&] {
        newOffset = saturatingAdd(defaults->integer(offsetKey), by);
        defaults->setInteger(newOffset, offsetKey);
        defaults->setInteger(saturatingAdd(defaults->integer(stepCountKey), 1), stepCountKey);
        defaults->setObject(now, lastStepAtKey);
        defaults->synchronize();
    });
    return newOffset;
}

bool MonthOffsetStore::isStored() {
    std::lock_guard guard(lock);
    return !defaults || defaults->synchronize();
}

void MonthOffsetStore::resetForFreshPresentation() {
    std::lock_guard guard(lock);
    if (!defaults) {
        _offset = 0;
        _stepCount = 0;
        _lastStepAt.reset();
        _resetCount = saturatingAdd(_resetCount, 1);
        return;
    }
    defaults->exclusively([&] {
        const std::int64_t resets = saturatingAdd(defaults->integer(resetCountKey), 1);
        defaults->setInteger(0, offsetKey);
        defaults->setInteger(0, stepCountKey);
        defaults->removeObject(lastStepAtKey);
        defaults->setInteger(resets, resetCountKey);
        defaults->synchronize();
    });
}

} // namespace tarvelo

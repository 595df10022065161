#include "TarveloWidget/MonthProvider.h"

#include "TarveloFeature/MonthModel/MonthGrid.h"

namespace tarvelo {

using platform::Instant;

MonthProvider::MonthProvider()
    : MonthProvider([]() -> MonthOffsetStore& { return MonthOffsetStore::shared(); }, Instant::now) {}

MonthProvider::MonthProvider(StoreAccess sharedStore, Clock clock)
    : sharedStore_(std::move(sharedStore))
    , clock_(std::move(clock)) {}

MonthEntry MonthProvider::entry(MonthOffsetStore& store, Instant now) {
    const std::int64_t offset = store.offset();
    MonthEntry entry;
    entry.date = now;
    entry.visibleMonth = MonthGrid::month(offset, now);
    entry.latency = store.latency(now);
    entry.stepCount = store.stepCount();
    entry.resetCount = store.resetCount();
    entry.processAge = store.age(now);
    entry.offset = offset;
    return entry;
}

MonthEntry MonthProvider::placeholder(const platform::TimelineProviderContext&) const {
    const Instant now = clock_();
    MonthOffsetStore throwAway(now);
    return entry(throwAway, now);
}

void MonthProvider::getSnapshot(const platform::TimelineProviderContext& context,
                                const std::function<void(MonthEntry)>& completion) const {
    const Instant now = clock_();
    if (context.isPreview) {
        MonthOffsetStore throwAway(now);
        completion(entry(throwAway, now));
        return;
    }
    completion(entry(sharedStore_(), now));
}

void MonthProvider::getTimeline(const platform::TimelineProviderContext&,
                                const std::function<void(platform::Timeline<MonthEntry>)>& completion) const {
    const Instant now = clock_();
    completion(platform::Timeline<MonthEntry>({entry(sharedStore_(), now)},
                                              platform::TimelineReloadPolicy::never()));
}

} // namespace tarvelo

#pragma once

#include "Platform/Widgets/Timeline.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"
#include "TarveloWidget/MonthEntry.h"

#include <functional>

namespace tarvelo {

// Turns the month offset store's state into timeline entries. Placed widgets
// read the shared, persistent store; placeholders and gallery previews read a
// throw-away store in memory, so they always show the current month and
// never touch the defaults. The provider never writes to a store and
// schedules nothing: every timeline holds one entry with the policy `never`.
class MonthProvider final : public platform::TimelineProvider<MonthEntry> {
public:
    using StoreAccess = std::function<MonthOffsetStore&()>;
    using Clock = std::function<platform::Instant()>;

    // Over MonthOffsetStore::shared() and the real clock.
    MonthProvider();
    // Over another store and clock (tests); `sharedStore` is only called
    // where a placed widget needs the persistent store.
    MonthProvider(StoreAccess sharedStore, Clock clock);

    MonthEntry placeholder(const platform::TimelineProviderContext& context) const override;
    void getSnapshot(const platform::TimelineProviderContext& context,
                     const std::function<void(MonthEntry)>& completion) const override;
    void getTimeline(const platform::TimelineProviderContext& context,
                     const std::function<void(platform::Timeline<MonthEntry>)>& completion) const override;

    // An entry from `store` at `now`; each read takes the store's lock on its own.
    static MonthEntry entry(MonthOffsetStore& store, platform::Instant now);

private:
    StoreAccess sharedStore_;
    Clock clock_;
};

} // namespace tarvelo

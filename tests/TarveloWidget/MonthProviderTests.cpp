#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloWidget/MonthProvider.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace tarvelo;
using platform::Instant;

namespace {

// A provider over a persistent store of its own and a clock the test moves.
class Provider : public ::testing::Test {
protected:
    testsupport::EnvironmentGuard environment = testsupport::pinLocaleAndZone("en_US.UTF-8", "Europe/Berlin");
    testsupport::TemporaryFolder folder;
    platform::UserDefaults defaults{"widget", folder.path()};
    Instant now = Instant::sinceUnixEpoch(1796596200); // 2026-12-06T22:30Z, a Sunday evening in Berlin
    std::optional<MonthOffsetStore> store;
    int sharedStoreUses = 0;
    MonthProvider provider{[this]() -> MonthOffsetStore& {
                               ++sharedStoreUses;
                               if (!store)
                                   store.emplace(defaults, now);
                               return *store;
                           },
                           [this] { return now; }};
    platform::TimelineProviderContext placed{false, platform::WidgetFamily::systemSmall, {170, 170}};
    platform::TimelineProviderContext gallery{true, platform::WidgetFamily::systemMedium, {364, 170}};

    // What `ask` hands its completion, which it must call exactly once.
    template <typename Value, typename Ask> Value answer(Ask ask) {
        std::optional<Value> result;
        int calls = 0;
        ask([&](Value value) {
            ++calls;
            result = std::move(value);
        });
        EXPECT_EQ(calls, 1);
        return *result;
    }
    MonthEntry snapshot(const platform::TimelineProviderContext& context) {
        return answer<MonthEntry>([&](auto completion) { provider.getSnapshot(context, completion); });
    }
    platform::Timeline<MonthEntry> timeline() {
        using Timeline = platform::Timeline<MonthEntry>;
        return answer<Timeline>([&](auto completion) { provider.getTimeline(placed, completion); });
    }
};

} // namespace

TEST_F(Provider, PlaceholdersAndPreviewsShowTheCurrentMonthAndNeverTouchTheDefaults) {
    defaults.setInteger(3, MonthOffsetStore::offsetKey);
    const auto fileBefore = std::filesystem::last_write_time(defaults.path());

    for (const MonthEntry& entry : {provider.placeholder(placed), snapshot(gallery)}) {
        EXPECT_EQ(entry.visibleMonth, MonthGrid::month(0, now));
        EXPECT_EQ(entry.offset, 0);
        EXPECT_EQ(entry.stepCount, 0);
        EXPECT_EQ(entry.resetCount, 0);
        EXPECT_FALSE(entry.latency);
        EXPECT_EQ(entry.processAge, 0.0);
        EXPECT_EQ(entry.date, now);
    }
    EXPECT_EQ(sharedStoreUses, 0) << "the shared store is neither made nor read";
    EXPECT_EQ(std::filesystem::last_write_time(defaults.path()), fileBefore);

    // A placed widget's snapshot reads the persisted offset.
    EXPECT_EQ(snapshot(placed).offset, 3);
    EXPECT_EQ(snapshot(placed).visibleMonth, MonthGrid::month(3, now));
}

TEST_F(Provider, ATimelineIsOneEntryForNowThatIsNeverReloadedAndShowsTheSteppedMonth) {
    const auto result = timeline();
    ASSERT_EQ(result.entries.size(), 1u);
    EXPECT_EQ(result.policy, platform::TimelineReloadPolicy::never());
    const auto first = result.entries[0];
    EXPECT_EQ(first.date, now);
    EXPECT_EQ(first.visibleMonth, MonthGrid::month(0, now));
    EXPECT_FALSE(first.latency) << "no step recorded";

    // Without a step, the next one differs only in its date and age.
    now = now + 60;
    const auto second = timeline().entries[0];
    EXPECT_EQ(second.offset, first.offset);
    EXPECT_EQ(second.visibleMonth, first.visibleMonth);
    EXPECT_EQ(second.date, now);
    EXPECT_EQ(second.processAge - first.processAge, 60.0);

    store->step(1, now + 10);
    now = now + 12.5;
    const auto after = timeline().entries[0];
    EXPECT_EQ(after.offset, 1);
    EXPECT_EQ(after.visibleMonth, MonthGrid::month(1, now));
    EXPECT_EQ(after.stepCount, first.stepCount + 1);
    EXPECT_EQ(after.latency, 2.5);
    EXPECT_GT(after.processAge, second.processAge);
}

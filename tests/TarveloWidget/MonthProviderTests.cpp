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

    // The entries the provider hands its completion, which it must call exactly once.
    std::vector<MonthEntry> snapshot(bool isPreview) {
        std::vector<MonthEntry> entries;
        provider.getSnapshot({isPreview, platform::WidgetFamily::systemSmall, {170, 170}},
                             [&](MonthEntry entry) { entries.push_back(entry); });
        return entries;
    }
    MonthEntry timeline() {
        std::vector<platform::Timeline<MonthEntry>> timelines;
        provider.getTimeline({false, platform::WidgetFamily::systemSmall, {170, 170}},
                             [&](auto timeline) { timelines.push_back(timeline); });
        EXPECT_EQ(timelines.size(), 1u);
        EXPECT_EQ(timelines.at(0).policy, platform::TimelineReloadPolicy::never());
        EXPECT_EQ(timelines.at(0).entries.size(), 1u);
        return timelines.at(0).entries.at(0);
    }
};

} // namespace

TEST_F(Provider, PlaceholdersAndPreviewsShowTheCurrentMonthAndNeverTouchTheDefaults) {
    defaults.setInteger(3, MonthOffsetStore::offsetKey);
    const auto fileBefore = std::filesystem::last_write_time(defaults.path());
    ASSERT_EQ(snapshot(true).size(), 1u);
    for (const MonthEntry& entry : {provider.placeholder({}), snapshot(true)[0]}) {
        EXPECT_EQ(entry.visibleMonth, MonthGrid::month(0, now));
        EXPECT_EQ(std::tie(entry.offset, entry.stepCount, entry.resetCount), std::tuple(0, 0, 0));
        EXPECT_FALSE(entry.latency);
        EXPECT_EQ(entry.processAge, 0.0);
        EXPECT_EQ(entry.date, now);
    }
    EXPECT_EQ(sharedStoreUses, 0) << "the shared store is neither made nor read";
    EXPECT_EQ(std::filesystem::last_write_time(defaults.path()), fileBefore);
    // A placed widget's snapshot reads the persisted offset.
    ASSERT_EQ(snapshot(false).size(), 1u);
    EXPECT_EQ(snapshot(false)[0].visibleMonth, MonthGrid::month(3, now));
}

TEST_F(Provider, ATimelineIsOneEntryForNowThatIsNeverReloadedAndShowsTheSteppedMonth) {
    const auto first = timeline();
    EXPECT_EQ(first.date, now);
    EXPECT_EQ(first.visibleMonth, MonthGrid::month(0, now));
    EXPECT_FALSE(first.latency) << "no step recorded";
    now = now + 60;
    EXPECT_EQ(timeline().processAge - first.processAge, 60.0);

    store->step(1, now + 10);
    now = now + 12.5;
    const auto after = timeline();
    EXPECT_EQ(after.date, now);
    EXPECT_EQ(after.offset, 1);
    EXPECT_EQ(after.visibleMonth, MonthGrid::month(1, now));
    EXPECT_EQ(after.stepCount, 1);
    EXPECT_EQ(after.latency, 2.5);
}

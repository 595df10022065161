#include "TarveloFeature/MonthModel/MonthOffsetStore.h"

#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <thread>

using platform::Instant;
using platform::UserDefaults;
using tarvelo::MonthOffsetStore;

namespace {

const Instant createdAt = Instant::sinceReferenceDate(786000000.0);
const Instant later = createdAt + 90.5;

// A store in memory and one over a domain of its own, both made at `createdAt`.
class MonthOffsetStoreTest : public ::testing::Test {
protected:
    tarvelo::testsupport::TemporaryFolder folder;
    UserDefaults defaults{"today.tarvelo.Tarvelo.TarveloWidget", folder.path()};
    MonthOffsetStore persistent{defaults, createdAt};
    MonthOffsetStore memory{createdAt};
};

void expectFresh(MonthOffsetStore& store) {
    EXPECT_EQ(store.offset(), 0);
    EXPECT_EQ(store.stepCount(), 0);
    EXPECT_FALSE(store.lastStepAt());
    EXPECT_FALSE(store.latency(later));
}

} // namespace

// Persistent steps also reach another process's store over the same file,
// already read once.
TEST_F(MonthOffsetStoreTest, StepsCountAndStampTheirTimeAndAResetClearsAllButCountsItself) {
    UserDefaults elsewhere("today.tarvelo.Tarvelo.TarveloWidget", folder.path());
    MonthOffsetStore other(elsewhere, later);
    expectFresh(other);
    defaults.setInteger(4, MonthOffsetStore::resetCountKey);
    for (MonthOffsetStore* store : {&memory, &persistent}) {
        SCOPED_TRACE(store == &memory ? "in memory" : "persistent");
        expectFresh(*store);
        EXPECT_EQ(store->age(later), 90.5);
        EXPECT_EQ(store->step(1, createdAt), 1);
        EXPECT_EQ(store->latency(createdAt + 5.0), 5.0);
        EXPECT_EQ(store->step(-2, later), -1);
        EXPECT_EQ(store->step(0, later + 1), -1) << "a step of 0 still counts";
        EXPECT_EQ(store->stepCount(), 3);
        EXPECT_EQ(store->lastStepAt(), later + 1);
        if (store == &persistent) {
            EXPECT_EQ(other.offset(), -1);
            EXPECT_EQ(other.stepCount(), 3);
            EXPECT_EQ(other.latency(later + 3.0), 2.0);
        }
        store->resetForFreshPresentation();
        expectFresh(*store);
        EXPECT_EQ(store->resetCount(), store == &memory ? 1 : 5);
        EXPECT_EQ(store->createdAt(), createdAt);
    }
    EXPECT_FALSE(defaults.object(MonthOffsetStore::lastStepAtKey)) << "removed, not set to a sentinel";
}

TEST_F(MonthOffsetStoreTest, NothingLimitsTheOffsetButTheIntegerRangeAndALastStepThatIsNoDateIsAbsent) {
    defaults.setObject(std::string("yesterday"), MonthOffsetStore::lastStepAtKey);
    EXPECT_FALSE(persistent.latency(later));
    persistent.step(INT64_MAX, later);
    EXPECT_EQ(persistent.step(1, later), INT64_MAX) << "saturates rather than wrapping to the far past";
    defaults.setInteger(INT64_MAX, MonthOffsetStore::stepCountKey);
    persistent.step(-1, later);
    EXPECT_EQ(persistent.stepCount(), INT64_MAX);
    memory.step(INT64_MIN, later);
    EXPECT_EQ(memory.step(-1, later), INT64_MIN);
}

TEST_F(MonthOffsetStoreTest, ConcurrentStepsFromThreadsAreAllCounted) {
    std::vector<std::thread> workers;
    for (int index = 0; index < 4; ++index)
        workers.emplace_back([&] {
            for (int count = 0; count < 25; ++count)
                for (MonthOffsetStore* store : {&persistent, &memory}) {
                    store->step(1, Instant::now());
                    (void)store->latency(Instant::now());
                }
        });
    for (auto& worker : workers)
        worker.join();
    for (MonthOffsetStore* store : {&persistent, &memory}) {
        EXPECT_EQ(store->offset(), 100);
        EXPECT_EQ(store->stepCount(), 100);
    }
}

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

// Each test gets a persistent store over a domain of its own.
class PersistentStore : public ::testing::Test {
protected:
    tarvelo::testsupport::TemporaryFolder folder;
    UserDefaults defaults{"today.tarvelo.Tarvelo.TarveloWidget", folder.path()};
};

void expectFresh(MonthOffsetStore& store) {
    EXPECT_EQ(store.offset(), 0);
    EXPECT_EQ(store.stepCount(), 0);
    EXPECT_FALSE(store.lastStepAt());
    EXPECT_FALSE(store.latency(later));
}

} // namespace

TEST(MonthOffsetStoreMemory, StepsCountAndStampTheirTime) {
    MonthOffsetStore store(createdAt);
    expectFresh(store);
    EXPECT_EQ(store.resetCount(), 0);
    EXPECT_EQ(store.age(createdAt), 0.0);
    EXPECT_EQ(store.age(later), 90.5);

    EXPECT_EQ(store.step(1, createdAt), 1);
    EXPECT_EQ(store.stepCount(), 1);
    EXPECT_EQ(store.lastStepAt(), createdAt);
    EXPECT_EQ(store.latency(createdAt + 5.0), 5.0);
    EXPECT_EQ(store.step(-2, later), -1);
    EXPECT_EQ(store.stepCount(), 2);
    EXPECT_EQ(store.step(0, later + 1), -1) << "a step of 0 still counts";
    EXPECT_EQ(store.stepCount(), 3);
    EXPECT_EQ(store.lastStepAt(), later + 1);
}

TEST(MonthOffsetStoreMemory, ResetClearsAllButCountsItself) {
    MonthOffsetStore store(createdAt);
    for (int index = 0; index < 3; ++index)
        store.step(1, later);
    store.resetForFreshPresentation();
    expectFresh(store);
    EXPECT_EQ(store.resetCount(), 1);
    EXPECT_EQ(store.createdAt(), createdAt);
}

TEST_F(PersistentStore, StepsReachTheDefaultsAndOtherReadersOfTheFile) {
    // Another process's store over the same file, already read once.
    UserDefaults elsewhere("today.tarvelo.Tarvelo.TarveloWidget", folder.path());
    MonthOffsetStore other(elsewhere, later);
    expectFresh(other);
    {
        MonthOffsetStore store(defaults, createdAt);
        expectFresh(store);
        EXPECT_EQ(store.step(-1, later), -1);
    }
    EXPECT_EQ(defaults.integer(MonthOffsetStore::offsetKey), -1);
    EXPECT_EQ(defaults.integer(MonthOffsetStore::stepCountKey), 1);
    EXPECT_EQ(defaults.date(MonthOffsetStore::lastStepAtKey), later);

    EXPECT_EQ(other.offset(), -1);
    EXPECT_EQ(other.stepCount(), 1);
    EXPECT_EQ(other.latency(later + 2.0), 2.0);
    EXPECT_EQ(other.createdAt(), later);
}

TEST_F(PersistentStore, ALastStepThatIsNoDateReadsAsAbsent) {
    defaults.setObject(std::string("yesterday"), MonthOffsetStore::lastStepAtKey);
    MonthOffsetStore store(defaults, createdAt);
    EXPECT_FALSE(store.lastStepAt());
    EXPECT_FALSE(store.latency(later));
}

TEST_F(PersistentStore, ResetRemovesTheLastStepAndCountsOnce) {
    MonthOffsetStore store(defaults, createdAt);
    for (int index = 0; index < 3; ++index)
        store.step(1, later);
    defaults.setInteger(4, MonthOffsetStore::resetCountKey);
    store.resetForFreshPresentation();
    expectFresh(store);
    EXPECT_EQ(store.resetCount(), 5);
    EXPECT_FALSE(defaults.object(MonthOffsetStore::lastStepAtKey)) << "removed, not set to a sentinel";
}

TEST_F(PersistentStore, NothingLimitsTheOffsetButTheIntegerRange) {
    MonthOffsetStore store(defaults, createdAt);
    for (int index = 0; index < 100; ++index)
        store.step(1, later);
    EXPECT_EQ(store.offset(), 100);

    store.step(INT64_MAX, later);
    EXPECT_EQ(store.step(1, later), INT64_MAX) << "saturates rather than wrapping to the far past";
    defaults.setInteger(INT64_MAX, MonthOffsetStore::stepCountKey);
    store.step(-1, later);
    EXPECT_EQ(store.stepCount(), INT64_MAX);
    EXPECT_EQ(MonthOffsetStore(createdAt).step(INT64_MIN, later), INT64_MIN);
}

TEST_F(PersistentStore, ConcurrentStepsFromThreadsAreAllCounted) {
    MonthOffsetStore store(defaults, createdAt);
    MonthOffsetStore memory(createdAt);
    constexpr int threads = 4;
    constexpr int stepsEach = 25;
    std::vector<std::thread> workers;
    for (int index = 0; index < threads; ++index)
        workers.emplace_back([&] {
            for (int count = 0; count < stepsEach; ++count) {
                store.step(1, Instant::now());
                memory.step(1, Instant::now());
                (void)store.offset();
                (void)store.latency(Instant::now());
            }
        });
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(store.offset(), threads * stepsEach);
    EXPECT_EQ(store.stepCount(), threads * stepsEach);
    EXPECT_EQ(memory.offset(), threads * stepsEach);
    EXPECT_EQ(memory.stepCount(), threads * stepsEach);
}

TEST(MonthOffsetStoreShared, IsOneInstanceEvenUnderConcurrentFirstUse) {
    tarvelo::testsupport::TemporaryFolder folder;
    ::setenv("XDG_CONFIG_HOME", folder.path().c_str(), 1);
    std::vector<MonthOffsetStore*> seen(8);
    std::vector<std::thread> workers;
    for (std::size_t index = 0; index < seen.size(); ++index)
        workers.emplace_back([&, index] { seen[index] = &MonthOffsetStore::shared(); });
    for (auto& worker : workers)
        worker.join();
    for (auto* store : seen)
        EXPECT_EQ(store, seen.front());
    seen.front()->step(1, Instant::now());
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "tarvelo"));
}

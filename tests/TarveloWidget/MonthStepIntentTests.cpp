#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "MonthStepIntent.h"
#include "MonthOffsetStore.h"
#include "UserDefaults.h"

using namespace tarvelo;
using platform::UserDefaults;

namespace {

// The shared store lives in the standard defaults of this process, under the
// private configuration folder the tests' main gives every test program.
std::filesystem::path configuration() { return std::getenv("XDG_CONFIG_HOME"); }

const bool isolated = [] {
    UserDefaults::setStandardDomain("step-intent-test");
    return true;
}();

MonthOffsetStore& store() { return MonthOffsetStore::shared(); }

} // namespace

TEST(MonthStepIntent, TheFirstRunMakesTheSharedStore) {
    ASSERT_TRUE(isolated);
    const auto before = platform::Instant::now();
    MonthStepIntent(1).perform();
    EXPECT_GE(store().createdAt(), before);
    EXPECT_TRUE(std::filesystem::exists(configuration() / "tarvelo" / "step-intent-test.json"));
}

TEST(MonthStepIntent, ChevronsStepByOneAndAreCounted) {
    const auto offset = store().offset();
    const auto steps = store().stepCount();
    MonthStepIntent(-1).perform();
    EXPECT_EQ(store().offset(), offset - 1);
    MonthStepIntent(+1).perform();
    EXPECT_EQ(store().offset(), offset);
    EXPECT_EQ(store().stepCount(), steps + 2);
    EXPECT_LT(*store().latency(platform::Instant::now()), 5.0);
}

TEST(MonthStepIntent, TheDefaultIntentStepsByZeroButStillCounts) {
    const auto offset = store().offset();
    const auto steps = store().stepCount();
    const auto lastStep = store().lastStepAt();
    MonthStepIntent intent;
    EXPECT_EQ(intent.delta(), 0);
    intent.perform();
    EXPECT_EQ(store().offset(), offset);
    EXPECT_EQ(store().stepCount(), steps + 1);
    EXPECT_GT(store().lastStepAt(), lastStep);
}

TEST(MonthStepIntent, QuickClicksFromSeveralThreadsAllLand) {
    const auto offset = store().offset();
    std::vector<std::thread> clicks;
    for (int index = 0; index < 5; ++index)
        clicks.emplace_back([] { MonthStepIntent(1).perform(); });
    for (auto& click : clicks)
        click.join();
    EXPECT_EQ(store().offset(), offset + 5);
    MonthStepIntent(12).perform();
    EXPECT_EQ(store().offset(), offset + 17) << "nothing clamps the offset";
}

TEST(MonthStepIntent, IsRebuiltFromWhatItsButtonStores) {
    const auto reference = MonthStepIntent(-1).reference();
    EXPECT_EQ(reference.type, "MonthStepIntent");
    MonthStepIntent rebuilt;
    rebuilt.restoreParameters(reference.parameters);
    EXPECT_EQ(rebuilt.delta(), -1);

    for (const auto& garbage : {nlohmann::json(), nlohmann::json::array(), nlohmann::json{{"delta", "one"}},
                                nlohmann::json{{"delta", 1.5}}, nlohmann::json{{"delta", 18446744073709551615ULL}}}) {
        MonthStepIntent intent(7);
        intent.restoreParameters(garbage);
        EXPECT_EQ(intent.delta(), 0) << garbage.dump();
    }
    EXPECT_EQ(MonthStepIntent::title(), "Step Month");
    EXPECT_EQ(MonthStepIntent().deltaParameter().settings().title, "Delta");
    EXPECT_EQ(MonthStepIntent().deltaParameter().settings().controlStyle, platform::IntControlStyle::stepper);
}

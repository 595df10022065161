#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"
#include "TarveloWidget/MonthStepIntent.h"

#include <filesystem>
#include <gtest/gtest.h>

using tarvelo::MonthOffsetStore;
using tarvelo::MonthStepIntent;

// The shared store lives in the standard defaults of this process, under the
// private configuration folder the tests' main gives every test program.
TEST(MonthStepIntent, StepsTheSharedStoreByItsDeltaAndCountsEveryStep) {
    platform::UserDefaults::setStandardDomain("step-intent-test");
    const auto before = platform::Instant::now();
    MonthStepIntent(1).perform();
    MonthOffsetStore& store = MonthOffsetStore::shared();
    EXPECT_GE(store.createdAt(), before) << "the first run makes the shared store";
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "tarvelo" /
                                        "step-intent-test.json"));
    EXPECT_EQ(store.offset(), 1);
    const auto lastStep = store.lastStepAt();
    MonthStepIntent(-2).perform();
    MonthStepIntent().perform(); // steps by zero, but still counts
    EXPECT_EQ(store.offset(), -1);
    EXPECT_EQ(store.stepCount(), 3);
    EXPECT_GT(store.lastStepAt(), lastStep);
}

TEST(MonthStepIntent, IsRebuiltFromWhatItsButtonStores) {
    const auto reference = MonthStepIntent(-1).reference();
    EXPECT_EQ(reference.type, "MonthStepIntent");
    MonthStepIntent rebuilt;
    rebuilt.restoreParameters(reference.parameters);
    EXPECT_EQ(rebuilt.delta(), -1);
    for (const auto& garbage :
         {nlohmann::json(), nlohmann::json::array(), nlohmann::json{{"delta", "one"}},
          nlohmann::json{{"delta", 1.5}}, nlohmann::json{{"delta", 18446744073709551615ULL}}}) {
        MonthStepIntent intent(7);
        intent.restoreParameters(garbage);
        EXPECT_EQ(intent.delta(), 0) << garbage.dump();
    }
}

#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"
#include "TarveloWidget/MonthStepIntent.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace tarvelo;
using platform::UserDefaults;

namespace {

// The shared store lives in the standard defaults of this process, under the
// private configuration folder the tests' main gives every test program.
std::filesystem::path configuration() {
    return std::getenv("XDG_CONFIG_HOME");
}

const bool isolated = [] {
    UserDefaults::setStandardDomain("step-intent-test");
    return true;
}();

MonthOffsetStore& store() {
    return MonthOffsetStore::shared();
}

} // namespace

TEST(MonthStepIntent, StepsTheSharedStoreByItsDeltaAndCountsEveryStep) {
    ASSERT_TRUE(isolated);
    const auto before = platform::Instant::now();
    MonthStepIntent(1).perform();
    // The first run makes the shared store.
    EXPECT_GE(store().createdAt(), before);
    EXPECT_TRUE(std::filesystem::exists(configuration() / "tarvelo" / "step-intent-test.json"));
    EXPECT_EQ(store().offset(), 1);

    const auto lastStep = store().lastStepAt();
    MonthStepIntent(-2).perform();
    EXPECT_EQ(store().offset(), -1);
    // The default intent steps by zero, but still counts.
    MonthStepIntent intent;
    EXPECT_EQ(intent.delta(), 0);
    intent.perform();
    EXPECT_EQ(store().offset(), -1);
    EXPECT_EQ(store().stepCount(), 3);
    EXPECT_GT(store().lastStepAt(), lastStep);
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

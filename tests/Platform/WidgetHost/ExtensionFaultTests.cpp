#include <gtest/gtest.h>

#include <chrono>

#include "EnvironmentGuard.h"
#include "TemporaryFolder.h"
#include "WidgetHost.h"

using namespace std::chrono_literals;
using platform::WidgetFamily;
using platform::WidgetHost;
using Clock = std::chrono::steady_clock;

namespace {

// A host over the misbehaving test extension, with a short time-out and a
// private configuration folder for the extension's defaults.
class Faults : public ::testing::Test {
protected:
    tarvelo::testsupport::TemporaryFolder configuration;
    tarvelo::testsupport::EnvironmentGuard environment{{"XDG_CONFIG_HOME", configuration.path().c_str()},
                                                        {"TARVELO_TEST_GOOD_REPLIES", "0"}};
    std::vector<std::string> logged;

    WidgetHost host() {
        WidgetHost::Options options;
        options.timeout = 1500ms;
        options.log = [this](const std::string& line) { logged.push_back(line); };
        options.manifests = std::vector{platform::ExtensionManifest{"test.Misbehaving", MISBEHAVING_EXTENSION, "", ""}};
        return WidgetHost(std::move(options));
    }
    void misbehave(const char* mode, int goodReplies) {
        environment.set("TARVELO_TEST_EXTENSION_MODE", mode);
        environment.set("TARVELO_TEST_GOOD_REPLIES", std::to_string(goodReplies).c_str());
    }
    // A picture, asked for within a bound well below "hung".
    std::optional<WidgetHost::Picture> picture(WidgetHost& widgetHost, std::string& problem) {
        const auto start = Clock::now();
        auto result = widgetHost.picture("TarveloWidget", WidgetFamily::systemSmall, false, problem);
        EXPECT_LT(Clock::now() - start, 8s) << "every answer is bounded by the time-out";
        return result;
    }
};

} // namespace

TEST_F(Faults, AWellBehavedExtensionGivesAPicture) {
    misbehave("good", 0);
    auto widgetHost = host();
    std::string problem;
    const auto result = picture(widgetHost, problem);
    ASSERT_TRUE(result) << problem;
    EXPECT_FALSE(result->isPlaceholder);
    EXPECT_GT(result->displayList.items.size(), 42u);
}

TEST_F(Faults, AnExtensionThatCrashesAtStartIsReportedNotWaitedFor) {
    misbehave("crash", 0);
    auto widgetHost = host();
    EXPECT_TRUE(widgetHost.gallery().empty());
    std::string problem;
    EXPECT_FALSE(picture(widgetHost, problem));
    EXPECT_FALSE(problem.empty());
    EXPECT_FALSE(logged.empty());
}

TEST_F(Faults, EveryKindOfMisbehaviourEndsInAnErrorWithinTheTimeOut) {
    // One good reply (the description), then the fault on the timeline.
    for (const char* mode : {"crash-mid-reply", "hang", "garbage", "misshapen", "enormous"}) {
        misbehave(mode, 1);
        auto widgetHost = host();
        std::string problem;
        EXPECT_FALSE(picture(widgetHost, problem)) << mode;
        EXPECT_FALSE(problem.empty()) << mode;
    }
}

TEST_F(Faults, AFallenExtensionIsStartedAgainForTheNextRequest) {
    // The timeline request kills it; the placeholder then comes from a fresh process.
    misbehave("crash-mid-reply", 1);
    auto widgetHost = host();
    std::string problem;
    EXPECT_FALSE(picture(widgetHost, problem));
    misbehave("good", 0);
    const auto result = picture(widgetHost, problem);
    ASSERT_TRUE(result) << problem;
}

TEST_F(Faults, ASlowExtensionIsWaitedForWithinTheTimeOut) {
    misbehave("slow", 0);
    auto widgetHost = host();
    std::string problem;
    EXPECT_TRUE(picture(widgetHost, problem)) << problem;
}

TEST_F(Faults, AnExtensionThatExitsAfterEveryRequestNeverHangsTheHost) {
    misbehave("exit", 0);
    auto widgetHost = host();
    std::string problem;
    (void)picture(widgetHost, problem);
    // Each request met a new process; the entries of one are unknown to the next.
    EXPECT_FALSE(widgetHost.gallery().empty());
}

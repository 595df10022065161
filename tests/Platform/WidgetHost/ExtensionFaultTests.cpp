#include "Platform/WidgetHost/WidgetHost.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/Eventually.h"
#include "tests/Support/TemporaryFolder.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>

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

    // `more` extensions come after the misbehaving one.
    WidgetHost host(std::vector<platform::ExtensionManifest> more = {},
                    std::function<platform::Instant()> clock = {}) {
        WidgetHost::Options options;
        options.timeout = 1500ms;
        options.log = [this](const std::string& line) { logged.push_back(line); };
        options.manifests =
            std::vector{platform::ExtensionManifest{"test.Misbehaving", MISBEHAVING_EXTENSION, "", ""}};
        options.manifests->insert(options.manifests->end(), more.begin(), more.end());
        if (clock)
            options.clock = std::move(clock);
        return WidgetHost(std::move(options));
    }
    // How many requests of `method` the misbehaving extension was sent
    // (with TARVELO_TEST_REQUEST_LOG set to `log`).
    static long requestsOf(const std::filesystem::path& log, const std::string& method) {
        std::ifstream file(log);
        long count = 0;
        for (std::string line; std::getline(file, line);)
            count += line == method;
        return count;
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

TEST_F(Faults, AWellBehavedOrSlowExtensionGivesAPictureWithinTheTimeOut) {
    for (const char* mode : {"good", "slow"}) {
        misbehave(mode, 0);
        auto widgetHost = host();
        std::string problem;
        const auto result = picture(widgetHost, problem);
        ASSERT_TRUE(result) << mode << ": " << problem;
        EXPECT_FALSE(result->isPlaceholder);
        EXPECT_GT(result->displayList.items.size(), 42u);
    }
}

TEST_F(Faults, EveryKindOfMisbehaviourEndsInAnErrorWithinTheTimeOut) {
    // A crash at start; then each fault after one good reply (the
    // description), on the timeline.
    for (const auto& [mode, goodReplies] :
         {std::pair{"crash", 0}, std::pair{"crash-mid-reply", 1}, std::pair{"hang", 1}, std::pair{"mute", 1},
          std::pair{"garbage", 1}, std::pair{"misshapen", 1}, std::pair{"enormous", 1}}) {
        misbehave(mode, goodReplies);
        auto widgetHost = host();
        if (goodReplies == 0) {
            EXPECT_TRUE(widgetHost.gallery().empty());
        }
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

TEST_F(Faults, AnExtensionThatExitsAfterEveryRequestNeverHangsTheHost) {
    misbehave("exit", 0);
    auto widgetHost = host();
    std::string problem;
    (void)picture(widgetHost, problem);
    // Each request met a new process; the entries of one are unknown to the next.
    EXPECT_FALSE(widgetHost.gallery().empty());
}

TEST_F(Faults, AnExtensionThatNeverDescribesItselfHoldsNoOtherAndIsAskedAgainOnlyAfterABackOff) {
    misbehave("mute", 0);
    const auto requests = configuration.path() / "requests";
    environment.set("TARVELO_TEST_REQUEST_LOG", requests.c_str());
    platform::Instant now = platform::Instant::now();
    auto widgetHost = host({{"test.Healthy", TARVELO_WIDGET_EXTENSION, "", ""}}, [&now] { return now; });
    // The healthy extension's widget is there; the mute one was asked once.
    EXPECT_EQ(widgetHost.gallery().size(), 1u);
    EXPECT_EQ(requestsOf(requests, "describe"), 1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("test.Misbehaving did not describe itself"), std::string::npos) << logged[0];
    // Pictures, clicks and the gallery meanwhile leave it alone.
    std::string problem;
    const auto shown = picture(widgetHost, problem);
    ASSERT_TRUE(shown) << problem;
    widgetHost.click("TarveloWidget", *shown, {1, 1}, problem);
    EXPECT_EQ(widgetHost.gallery().size(), 1u);
    EXPECT_EQ(requestsOf(requests, "describe"), 1);
    // After its back-off (half a second at first) it is asked again.
    now = now + 1.0;
    EXPECT_EQ(widgetHost.gallery().size(), 1u);
    EXPECT_EQ(requestsOf(requests, "describe"), 2);
}

TEST_F(Faults, NothingAnExtensionStartsOutlivesIt) {
    const auto childFile = configuration.path() / "child";
    environment.set("TARVELO_TEST_CHILD_FILE", childFile.c_str());
    misbehave("fork", 0);
    auto widgetHost = host();
    std::string problem;
    ASSERT_TRUE(picture(widgetHost, problem)) << problem;
    pid_t child = 0;
    std::ifstream(childFile) >> child;
    ASSERT_GT(child, 0);
    // Running (or a zombie, once killed: this process is not its parent).
    const auto running = [child] {
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string line;
        std::getline(stat, line);
        const auto close = line.rfind(')');
        return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
    };
    ASSERT_TRUE(running());
    widgetHost.stopExtensions();
    // SIGKILL is on its way.
    EXPECT_TRUE(tarvelo::testsupport::eventually([&] { return !running(); }, 5s))
        << "the extension's child outlived it";
}

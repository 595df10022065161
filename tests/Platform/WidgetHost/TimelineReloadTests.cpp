#include <gtest/gtest.h>

#include <fstream>

#include "EnvironmentGuard.h"
#include "TemporaryFolder.h"
#include "WidgetHost.h"

using namespace std::chrono_literals;
using platform::WidgetFamily;
using platform::WidgetHost;

namespace {

class TimelineReload : public ::testing::Test {
protected:
    tarvelo::testsupport::TemporaryFolder folder;
    std::filesystem::path requestLog = folder.path() / "requests";
    tarvelo::testsupport::EnvironmentGuard environment{{"XDG_CONFIG_HOME", folder.path().c_str()},
                                                        {"TARVELO_TEST_EXTENSION_MODE", "good"},
                                                        {"TARVELO_TEST_REQUEST_LOG", requestLog.c_str()}};
    WidgetHost host{[] {
        WidgetHost::Options options;
        options.manifests = std::vector{platform::ExtensionManifest{"test", MISBEHAVING_EXTENSION, "", ""}};
        return options;
    }()};

    long count(const std::string& method) {
        std::ifstream stream(requestLog);
        long found = 0;
        for (std::string line; std::getline(stream, line);)
            found += line == method;
        return found;
    }
    WidgetHost::Picture picture(const std::string& kind) {
        std::string problem;
        auto result = host.picture(kind, WidgetFamily::systemSmall, false, problem);
        EXPECT_TRUE(result) << problem;
        return result ? *result : WidgetHost::Picture{};
    }
};

} // namespace

TEST_F(TimelineReload, ANeverTimelineIsAskedForAgainOnlyAfterAnIntent) {
    const auto first = picture("TarveloWidget");
    picture("TarveloWidget");
    EXPECT_EQ(count("timeline"), 1);
    EXPECT_EQ(count("render"), 2) << "each picture is rendered at the moment it is asked for";

    const platform::HitRegion* forward = nullptr;
    for (const auto& item : first.displayList.items)
        if (const auto* region = std::get_if<platform::HitRegion>(&item))
            if (const auto* intent = std::get_if<platform::IntentReference>(&region->action);
                intent && intent->parameters.value("delta", 0) == 1)
                forward = region;
    ASSERT_NE(forward, nullptr);
    std::string problem;
    const platform::Point at{forward->frame.origin.x + 1, forward->frame.origin.y + 1};
    ASSERT_EQ(host.click("TarveloWidget", first, at, problem), WidgetHost::ClickResult::ranIntent) << problem;
    picture("TarveloWidget");
    EXPECT_EQ(count("timeline"), 2);
}

TEST_F(TimelineReload, ADueTimelineIsAskedForAgain) {
    environment.set("TARVELO_TEST_BUNDLE", "count");
    picture("Count");
    picture("Count");
    EXPECT_EQ(count("timeline"), 2) << "the test widget's policy date lies in the past";
}

TEST_F(TimelineReload, ARestartedExtensionIsAskedForAFreshTimeline) {
    picture("TarveloWidget");
    host.stopExtensions();
    picture("TarveloWidget");
    EXPECT_EQ(count("timeline"), 2);
}

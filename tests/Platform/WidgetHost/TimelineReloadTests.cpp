#include "Platform/WidgetHost/WidgetHost.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/LocalTime.h"
#include "tests/Support/TemporaryFolder.h"

#include <ctime>
#include <fstream>
#include <gtest/gtest.h>

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
    // Once a test writes it, the host's and the extension's "now".
    std::filesystem::path clockFile = folder.path() / "clock";
    WidgetHost host{[this] {
        WidgetHost::Options options;
        options.manifests = std::vector{platform::ExtensionManifest{"test", MISBEHAVING_EXTENSION, "", ""}};
        options.clock = [this] {
            double seconds = 0;
            if (!(std::ifstream(clockFile) >> seconds))
                return platform::Instant::now();
            return platform::Instant::sinceUnixEpoch(seconds);
        };
        return options;
    }()};

    // Clicks the chevron of `shown` that steps by `delta` months.
    WidgetHost::ClickResult clickForward(const WidgetHost::Picture& shown, int delta = 1) {
        const platform::HitRegion* forward = nullptr;
        for (const auto& item : shown.displayList.items)
            if (const auto* region = std::get_if<platform::HitRegion>(&item))
                if (const auto* intent = std::get_if<platform::IntentReference>(&region->action);
                    intent && intent->parameters.value("delta", 0) == delta)
                    forward = region;
        EXPECT_NE(forward, nullptr);
        if (!forward)
            return WidgetHost::ClickResult::failed;
        std::string problem;
        const platform::Point at{forward->frame.origin.x + 1, forward->frame.origin.y + 1};
        const auto result = host.click("TarveloWidget", shown, at, problem);
        EXPECT_EQ(result, WidgetHost::ClickResult::ranIntent) << problem;
        return result;
    }

    void useBerlinClock() {
        environment.set("TZ", "Europe/Berlin");
        environment.set("LANG", "en_US.UTF-8");
        environment.set("LC_ALL", nullptr);
        environment.set("LC_TIME", nullptr);
    }
    void setClock(int year, int month, int day, int hour, int minute, int second) {
        environment.set("TARVELO_TEST_CLOCK_FILE", clockFile.c_str());
        ::tzset();
        std::ofstream(clockFile) << tarvelo::testsupport::localTime(year, month, day, hour, minute, second);
    }
    // The month names in the widget's picture.
    static std::string months(const WidgetHost::Picture& shown) {
        std::string names;
        for (const auto& item : shown.displayList.items)
            if (const auto* text = std::get_if<platform::TextRun>(&item))
                for (const char* month : {"November", "December", "January", "February"})
                    if (text->text.find(month) != std::string::npos)
                        names += names.empty() ? month : std::string(" ") + month;
        return names;
    }

    // The requests of `method` the extension got, or of any method.
    long count(const std::string& method = "") {
        std::ifstream stream(requestLog);
        long found = 0;
        for (std::string line; std::getline(stream, line);)
            found += method.empty() || line == method;
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

TEST_F(TimelineReload, AStepTakesOneRequestAndAnOlderExtensionIsAskedTheUsualWay) {
    useBerlinClock();
    setClock(2026, 12, 7, 12, 0, 0);
    // The extension's own mode, and how many requests a step and its new picture take.
    for (const auto& [mode, requests] : {std::pair{"good", 1L}, std::pair{"old", 3L}}) {
        SCOPED_TRACE(mode);
        environment.set("TARVELO_TEST_EXTENSION_MODE", mode);
        host.stopExtensions();
        const auto first = picture("TarveloWidget");
        const long before = count();
        ASSERT_EQ(clickForward(first), WidgetHost::ClickResult::ranIntent);
        EXPECT_EQ(months(picture("TarveloWidget")), "January");
        EXPECT_EQ(count() - before, requests);
        picture("TarveloWidget");
        EXPECT_EQ(count() - before, requests + 1)
            << "later pictures are rendered anew, from the kept timeline";
        clickForward(picture("TarveloWidget"), -1); // back to December for the next case
    }
}

TEST_F(TimelineReload, ADueTimelineIsAskedForAgain) {
    environment.set("TARVELO_TEST_BUNDLE", "count");
    picture("Count");
    picture("Count");
    EXPECT_EQ(count("timeline"), 2) << "the test widget's policy date lies in the past";
}

TEST_F(TimelineReload, AMonthsEndBringsTheNewMonthAndOneStepLandsOneMonthOn) {
    useBerlinClock();
    setClock(2026, 11, 30, 23, 59, 45);
    EXPECT_EQ(months(picture("TarveloWidget")), "November");
    setClock(2026, 12, 1, 0, 0, 1);
    const auto newDay = picture("TarveloWidget");
    EXPECT_EQ(months(newDay), "December") << "a new day asks for a new timeline, not only a new picture";
    EXPECT_EQ(count("timeline"), 2);
    ASSERT_EQ(clickForward(newDay), WidgetHost::ClickResult::ranIntent);
    EXPECT_EQ(months(picture("TarveloWidget")), "January");
    EXPECT_EQ(count("timeline"), 2) << "the step's reply brought the new timeline";
    // After a resume or a changed clock or zone the host forgets them all.
    host.invalidateAll();
    picture("TarveloWidget");
    EXPECT_EQ(count("timeline"), 3);
    // So does a restarted extension.
    host.stopExtensions();
    picture("TarveloWidget");
    EXPECT_EQ(count("timeline"), 4);
}

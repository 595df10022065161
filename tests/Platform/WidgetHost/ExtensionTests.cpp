// The widget host with real extension processes (the misbehaving test
// extension, MisbehavingExtension.cpp, and the shipped one): what each kind
// of fault ends in, what an extension is given, how replies are read, when
// a timeline is asked for again, and where extensions are found.

#include "Platform/WidgetHost/TimelineJSON.h"
#include "Platform/WidgetHost/WidgetHost.h"
#include "Platform/WidgetHost/WidgetHostProgram.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/Eventually.h"
#include "tests/Support/Files.h"
#include "tests/Support/LayoutTestHelpers.h"
#include "tests/Support/LocalTime.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace tarvelo::testsupport;
using nlohmann::json;
using platform::ExtensionManifest;
using platform::ExtensionProcess;
using platform::Instant;
using platform::WidgetFamily;
using platform::WidgetHost;
namespace fs = std::filesystem;

namespace {

// Hosts over the misbehaving extension, with a short time-out, a private
// configuration folder and a log of the requests the extension got.
class Extensions : public ::testing::Test {
protected:
    TemporaryFolder folder;
    fs::path requestLog = folder.path() / "requests";
    EnvironmentGuard environment{{"XDG_CONFIG_HOME", folder.path().c_str()},
                                 {"TARVELO_TEST_EXTENSION_MODE", "good"},
                                 {"TARVELO_TEST_GOOD_REPLIES", "0"},
                                 {"TARVELO_TEST_REQUEST_LOG", requestLog.c_str()},
                                 {"TZ", "Europe/Berlin"}};
    std::vector<std::string> logged;
    std::string problem;

    // `more` extensions come after the misbehaving one.
    WidgetHost host(std::vector<ExtensionManifest> more = {}, std::function<Instant()> clock = {}) {
        WidgetHost::Options options;
        options.timeout = 1500ms;
        options.log = [this](const std::string& line) { logged.push_back(line); };
        options.manifests = std::vector{ExtensionManifest{"test.Misbehaving", MISBEHAVING_EXTENSION, "", ""}};
        options.manifests->insert(options.manifests->end(), more.begin(), more.end());
        if (clock)
            options.clock = std::move(clock);
        return WidgetHost(std::move(options));
    }
    void misbehave(const char* mode, int goodReplies = 0) {
        environment.set("TARVELO_TEST_EXTENSION_MODE", mode);
        environment.set("TARVELO_TEST_GOOD_REPLIES", std::to_string(goodReplies).c_str());
    }
    // The requests of `method` the extension got, or of any method.
    long requests(const std::string& method = "") {
        std::ifstream log(requestLog);
        long count = 0;
        for (std::string line; std::getline(log, line);)
            count += method.empty() || line == method;
        return count;
    }
    // A small widget's picture (else why not, in `problem`), asked for
    // within a bound well below "hung".
    std::optional<WidgetHost::Picture> picture(WidgetHost& widgetHost,
                                               const std::string& kind = "TarveloWidget") {
        problem.clear();
        const auto start = std::chrono::steady_clock::now();
        auto result = widgetHost.picture(kind, WidgetFamily::systemSmall, false, problem);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 8s) << "every answer is bounded by the time-out";
        return result;
    }
    WidgetHost::Picture shown(WidgetHost& widgetHost, const std::string& kind = "TarveloWidget") {
        auto result = picture(widgetHost, kind);
        EXPECT_TRUE(result) << problem;
        return result.value_or(WidgetHost::Picture{});
    }
    // Clicks the chevron of `picture` that steps by `delta` months.
    static void step(WidgetHost& widgetHost, const WidgetHost::Picture& picture, int delta = 1) {
        for (const auto& region : itemsOf<platform::HitRegion>(picture.displayList))
            if (const auto* intent = std::get_if<platform::IntentReference>(&region.action);
                intent && intent->parameters.value("delta", 0) == delta) {
                std::string problem;
                ASSERT_EQ(widgetHost.click("TarveloWidget", region, problem),
                          WidgetHost::ClickResult::ranIntent)
                    << problem;
                return;
            }
        ADD_FAILURE() << "no chevron stepping by " << delta;
    }
};

// An executable file at `path`.
fs::path program(const fs::path& path) {
    writeFile(path, "#!/bin/sh\n");
    fs::permissions(path, fs::perms::owner_all);
    return path;
}

std::string manifest(const std::string& identifier, const std::string& exec) {
    return R"({"tarvelo-widget-extension": 1, "identifier": ")" + identifier + R"(", "exec": ")" + exec +
           "\"}";
}

} // namespace

TEST_F(Extensions, EachMisbehaviourEndsInAnErrorWithinTheTimeOutAndTheNextRequestStartsAfresh) {
    // A fault at start; then each fault after one good reply (the
    // description), on the timeline. Unless it still answers wrongly or waits
    // out its back-off, an extension is started afresh for the next request,
    // which a slow one answers in time.
    const struct {
        const char* mode;
        int goodReplies;
        bool recovers;
    } cases[]{{"crash", 0, false},          {"misshapen", 0, false}, {"exit", 0, true}, {"deaf", 0, true},
              {"crash-mid-reply", 1, true}, {"hang", 1, true},       {"mute", 1, true}, {"garbage", 1, true},
              {"misshapen", 1, false},      {"enormous", 1, true}};
    for (const auto& [mode, goodReplies, recovers] : cases) {
        SCOPED_TRACE(mode);
        misbehave(mode, goodReplies);
        auto widgetHost = host();
        EXPECT_EQ(widgetHost.gallery().empty(), goodReplies == 0 && !recovers);
        EXPECT_FALSE(picture(widgetHost));
        EXPECT_FALSE(problem.empty());
        if (!recovers)
            continue;
        misbehave("slow");
        EXPECT_FALSE(shown(widgetHost).isPlaceholder);
    }
}

TEST_F(Extensions, OneThatNeverDescribesItselfHoldsNoOtherAndIsAskedAgainOnlyAfterABackOff) {
    misbehave("mute");
    Instant now = Instant::now();
    auto widgetHost = host({{"test.Healthy", TARVELO_WIDGET_EXTENSION, "", ""}}, [&now] { return now; });
    // The healthy extension's widget is there; the mute one was asked once.
    EXPECT_EQ(widgetHost.gallery().size(), 1u);
    EXPECT_EQ(requests("describe"), 1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("test.Misbehaving did not describe itself"), std::string::npos) << logged[0];
    // Pictures, clicks and the gallery meanwhile leave it alone.
    widgetHost.click("TarveloWidget", shown(widgetHost), {1, 1}, problem);
    EXPECT_EQ(widgetHost.gallery().size(), 1u);
    EXPECT_EQ(requests("describe"), 1);
    // After its back-off (half a second at first) it is asked again.
    now = now + 1.0;
    EXPECT_EQ(widgetHost.gallery().size(), 1u);
    EXPECT_EQ(requests("describe"), 2);
}

TEST_F(Extensions, NothingAnExtensionStartsOutlivesIt) {
    const auto childFile = folder.path() / "child";
    environment.set("TARVELO_TEST_CHILD_FILE", childFile.c_str());
    misbehave("fork");
    auto widgetHost = host();
    ASSERT_TRUE(picture(widgetHost)) << problem;
    pid_t child = 0;
    std::ifstream(childFile) >> child;
    ASSERT_GT(child, 0);
    // Running (or a zombie, once killed: this process is not its parent).
    const auto running = [child] {
        const std::string stat = readFile("/proc/" + std::to_string(child) + "/stat");
        const auto close = stat.rfind(')');
        return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
    };
    ASSERT_TRUE(running());
    widgetHost.stopExtensions();
    EXPECT_TRUE(eventually([&] { return !running(); }, 5s)) << "the extension's child outlived it";
}

TEST_F(Extensions, OnlyTheUsersFoldersLocaleZoneAndFontsReachAnExtension) {
    const fs::path dump = folder.path() / "environment";
    misbehave("environment");
    environment.set("TARVELO_TEST_ENVIRONMENT_DUMP", dump.c_str());
    // The user's folders, locale, zone and fonts reach it; what else the
    // host has, PATH included, stays with the host.
    const struct {
        const char* name;
        const char* value;
        bool reaches;
    } variables[]{{"LANG", "de_DE.UTF-8", true},
                  {"LC_TIME", "ja_JP.UTF-8@calendar=japanese", true},
                  {"TZ", "Asia/Tokyo", true},
                  {"FONTCONFIG_FILE", "/etc/fonts/fonts.conf", true},
                  {"XDG_CONFIG_HOME", "/home/someone/.config", true},
                  {"PATH", "/home/someone/bin:/usr/bin", false},
                  {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus", false},
                  {"SSH_AUTH_SOCK", "/run/user/1000/ssh-agent", false},
                  {"LD_LIBRARY_PATH", "/home/someone/lib", false},
                  {"GITHUB_TOKEN", "secret", false},
                  {"DISPLAY", ":0", false},
                  {"TARVELO_OTHER", "not for tests", false}};
    for (const auto& variable : variables)
        environment.set(variable.name, variable.value);
    ExtensionProcess(MISBEHAVING_EXTENSION).request("describe", json::object(), 5s);

    const std::string reached = "\n" + readFile(dump);
    for (const auto& [name, value, reaches] : variables)
        EXPECT_EQ(reached.find("\n" + std::string(name) + "=" + value + "\n") != std::string::npos, reaches)
            << name;
    EXPECT_NE(reached.find("\nPATH=/usr/local/bin:/usr/bin:/bin\n"), std::string::npos);
}

TEST_F(Extensions, TheRealOneServesWithNoNewPrivilegesAndAFilter) {
    ExtensionProcess extension(TARVELO_WIDGET_EXTENSION);
    ASSERT_TRUE(extension.request("describe", json::object(), 5s).ok());
    const auto status = readFile("/proc/" + std::to_string(extension.processIdentifier()) + "/status");
    EXPECT_NE(status.find("\nNoNewPrivs:\t1\n"), std::string::npos);
    EXPECT_NE(status.find("\nSeccomp:\t2\n"), std::string::npos) << "no system-call filter";
}

TEST_F(Extensions, AStepTakesOneRequestAndAnOlderExtensionIsAskedTheUsualWay) {
    auto widgetHost = host();
    // The extension's own mode, and how many requests a step and its new picture take.
    for (const auto& [mode, steps] : {std::pair{"good", 1L}, std::pair{"old", 3L}}) {
        SCOPED_TRACE(mode);
        misbehave(mode);
        widgetHost.stopExtensions();
        const auto first = shown(widgetHost);
        const long before = requests();
        step(widgetHost, first);
        EXPECT_NE(shown(widgetHost).displayList, first.displayList) << "the step shows another month";
        EXPECT_EQ(requests() - before, steps);
        const auto later = shown(widgetHost);
        EXPECT_EQ(requests() - before, steps + 1)
            << "later pictures are rendered anew, from the kept timeline";
        step(widgetHost, later, -1);
        EXPECT_EQ(shown(widgetHost).displayList, first.displayList)
            << "a step back shows the first month again";
    }
}

TEST_F(Extensions, ADueTimelineIsAskedForAgain) {
    environment.set("TARVELO_TEST_BUNDLE", "count");
    auto widgetHost = host();
    shown(widgetHost, "Count");
    shown(widgetHost, "Count");
    EXPECT_EQ(requests("timeline"), 2) << "the test widget's policy date lies in the past";
}

TEST_F(Extensions, ANewDayAResumeOrARestartedExtensionAsksForANewTimeline) {
    std::time_t now = localTime(2026, 11, 30, 23, 59, 45);
    auto widgetHost = host({}, [&now] { return Instant::sinceUnixEpoch(static_cast<double>(now)); });
    shown(widgetHost);
    shown(widgetHost);
    EXPECT_EQ(requests("timeline"), 1) << "Tarvelo's timeline is never due by itself";
    now += 16;
    shown(widgetHost);
    EXPECT_EQ(requests("timeline"), 2)
        << "a new day (an entry names its month when made) asks for a new timeline";
    // After a resume or a changed clock or zone the host forgets them all.
    widgetHost.invalidateAll();
    shown(widgetHost);
    EXPECT_EQ(requests("timeline"), 3);
    // So does a restarted extension.
    widgetHost.stopExtensions();
    shown(widgetHost);
    EXPECT_EQ(requests("timeline"), 4);
}

TEST(ExtensionReplies, OnlyAReplyToTheRequestAnswersIt) {
    for (const char* line :
         {"", "garbage \x01\xff", "[1,2,3]", "{\"result\": {}}", "{\"id\": \"7\", \"result\": 1}",
          "{\"id\": 8, \"result\": 1}", "{\"id\": null, \"error\": {}}"})
        EXPECT_FALSE(ExtensionProcess::replyFromLine(line, 7)) << line;
    // Nested deeper than any reply may be.
    EXPECT_FALSE(ExtensionProcess::replyFromLine(
        R"({"id": 7, "result": )" + std::string(100, '[') + std::string(100, ']') + "}", 7));

    const auto result = ExtensionProcess::replyFromLine(R"({"id": 7, "result": {"entries": []}})", 7);
    ASSERT_TRUE(result && result->ok());
    EXPECT_EQ(*result->result, (json{{"entries", json::array()}}));

    // Errors, and replies that are neither a result nor a usable error.
    for (const auto& [line, code, message] :
         {std::tuple{R"({"id":7,"error":{"code":"unknown-kind","message":"no"}})", "unknown-kind", "no"},
          std::tuple{R"({"id": 7})", "failed", "malformed error reply"},
          std::tuple{R"({"id": 7, "error": 5})", "failed", "malformed error reply"},
          std::tuple{R"({"id": 7, "error": {"code": 1, "message": "no"}})", "failed", "no"}}) {
        const auto error = ExtensionProcess::replyFromLine(line, 7);
        ASSERT_TRUE(error && !error->ok()) << line;
        EXPECT_EQ(error->errorCode, code) << line;
        EXPECT_EQ(error->errorMessage, message) << line;
    }
}

TEST(ExtensionReplies, ResultsOfTheWrongShapeReadAsAbsentAndTheCurrentEntryIsTheLastWhoseDateHasCome) {
    // Each of these used to throw out of the host.
    for (const json& result : {json(), json(5), json("text"), json::array({1, 2})})
        EXPECT_TRUE(platform::memberOf(result, "entries").is_null()) << result.dump();
    const auto at = Instant::sinceReferenceDate;
    EXPECT_EQ(platform::entryDate(json{{"id", 1}, {"date", "tomorrow"}}), at(0));
    EXPECT_EQ(platform::entryDate(json(3)), at(0));
    EXPECT_EQ(platform::entryDate(json{{"date", 120.5}}), at(120.5));
    const auto atEnd = platform::TimelineReloadPolicy::atEnd();
    EXPECT_TRUE(platform::timelineIsDue(atEnd, json::array({json{{"date", 1e12}}, 5}), at(0)));
    EXPECT_FALSE(platform::timelineIsDue(atEnd, json::array({5, json{{"date", 1e12}}}), at(0)));
    EXPECT_FALSE(platform::reloadPolicyFromJSON(json{{"type", "after"}, {"date", "soon"}}));
    EXPECT_FALSE(platform::reloadPolicyFromJSON(json::array({"never"})));

    const json entries = json::array({json{{"id", 1}, {"date", 100}}, "junk", json{{"id", 2}, {"date", 200}},
                                      json{{"id", 3}, {"date", 300}}});
    EXPECT_EQ(platform::currentTimelineEntry(entries, at(50)), entries[0]);
    EXPECT_EQ(platform::currentTimelineEntry(entries, at(250)), entries[2]);
    EXPECT_EQ(platform::currentTimelineEntry(entries, at(1e9)), entries[3]);
    EXPECT_FALSE(platform::currentTimelineEntry(json::array(), at(0)));
    EXPECT_FALSE(platform::currentTimelineEntry(json{{"a", 1}}, at(0)));
}

TEST(ExtensionManifest, UsableManifestsAreReadAndEachBadOneSkippedWithOneLine) {
    TemporaryFolder folder;
    const auto extensions = folder.path() / "data/tarvelo/widget-extensions";
    const auto extension = program(folder.path() / "libexec/extension");
    // A program named relative to the manifest's folder.
    writeFile(
        extensions / "0-relative.json",
        R"({"tarvelo-widget-extension": 1, "identifier": "relative", "exec": "../../../libexec/extension",
                  "hostApplication": "host"})");
    writeFile(extensions / "1-good.json", manifest("good", extension));
    writeFile(extensions / "2-duplicate.json", manifest("good", extension));
    writeFile(extensions / "3-truncated.json", R"({"tarvelo-widget-extension": 1, "ident)");
    writeFile(extensions / "4-foreign.json", R"({"name": "x"})");
    writeFile(extensions / "5-no-program.json", manifest("x", "/nonexistent"));
    writeFile(extensions / "6-not-executable.json", manifest("y", extensions / "1-good.json"));
    writeFile(extensions / "7-binary.json", std::string("\0\xff\xfe", 3));
    writeFile(extensions / "8-huge.json", std::string(100 * 1024, ' '));
    fs::create_directories(extensions / "9-folder.json");
    // The system would read the name only up to the NUL and run "extension".
    writeFile(extensions / "10-nul.json", manifest("z", extension.string() + "\\u0000.txt"));
    writeFile(extensions / "ignored.txt", "not a manifest");

    EnvironmentGuard environment{{"XDG_DATA_HOME", (folder.path() / "data").c_str()},
                                 {"XDG_DATA_DIRS", "/nonexistent"}};
    std::vector<std::string> logged;
    std::string problem;
    const auto manifests =
        ExtensionManifest::discover([&](const std::string& line) { logged.push_back(line); });
    // The build tree's own extension may be found beside the test program too.
    EXPECT_EQ(std::ranges::count(manifests, "good", &ExtensionManifest::identifier), 1);
    const auto relative = std::ranges::find(manifests, "relative", &ExtensionManifest::identifier);
    ASSERT_NE(relative, manifests.end());
    EXPECT_EQ(relative->executable, extension);
    EXPECT_EQ(relative->hostApplication, "host");
    EXPECT_EQ(
        std::ranges::count_if(logged, [&](const auto& line) { return line.find(extensions) != line.npos; }),
        8)
        << "one line for each unusable file, none for the duplicate";
}

TEST(ExtensionManifest, AnotherProgramLearnsWhatTheHostWouldFind) {
    // The host's program in <folder>/bin looks in <folder>/share and in the
    // XDG data folders, and nowhere else.
    TemporaryFolder folder;
    const auto extension = program(folder.path() / "libexec/extension");
    for (const std::string data : {"share", "home", "dirs", "elsewhere"})
        writeFile(folder.path() / data / "tarvelo/widget-extensions/a.json", manifest(data, extension));
    EnvironmentGuard environment{{"XDG_DATA_HOME", (folder.path() / "home").c_str()},
                                 {"XDG_DATA_DIRS", (folder.path() / "dirs").c_str()}};
    const auto host = folder.path() / "bin/tarvelo-widgets";
    for (const std::string identifier : {"share", "home", "dirs"})
        EXPECT_TRUE(platform::WidgetHostProgram::wouldFind(host, identifier)) << identifier;
    EXPECT_FALSE(platform::WidgetHostProgram::wouldFind(host, "elsewhere"));
    EXPECT_FALSE(
        platform::WidgetHostProgram::wouldFind(folder.path() / "other/bin/tarvelo-widgets", "share"));
}

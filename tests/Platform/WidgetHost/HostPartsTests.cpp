// The widget host's parts that need no extension and no display: the
// placement list and its file, the day clock, the restart back-off, where a
// widget comes up on the screen, and which display backend it uses.

#include "Platform/Defaults/UserDefaults.h"
#include "Platform/WidgetHost/DayClock.h"
#include "Platform/WidgetHost/PlacementList.h"
#include "Platform/WidgetHost/PlacementStore.h"
#include "Platform/WidgetHost/RestartBackoff.h"
#include "Platform/WidgetHost/ScreenFit.h"
#include "Platform/WidgetHost/WidgetBackend.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/Files.h"
#include "tests/Support/LocalTime.h"
#include "tests/Support/TemporaryFolder.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <pwd.h>
#include <unistd.h>

using namespace std::chrono_literals;
using namespace tarvelo::testsupport;
using namespace platform;
namespace fs = std::filesystem;

TEST(PlacementList, AddsMovesAndRemovesAndKeepsTheListAcrossRuns) {
    TemporaryFolder folder;
    const auto file = folder.path() / "tarvelo" / "widgets.json";
    PlacementList list(file);
    EXPECT_EQ(list.load(), ""); // no file yet: nothing placed, and no problem
    EXPECT_EQ(list.add("K", WidgetFamily::systemSmall, std::nullopt).identifier, "1");
    EXPECT_EQ(list.cascadePosition(), std::pair(72, 72)); // the second one, a step down and right
    EXPECT_EQ(list.add("K", WidgetFamily::systemMedium, std::pair(10, 20)).identifier, "2");
    EXPECT_TRUE(list.contains("K", WidgetFamily::systemMedium));
    EXPECT_FALSE(list.contains("Other", WidgetFamily::systemMedium));
    list.move("2", 5, -6);
    EXPECT_TRUE(list.remove("1"));
    EXPECT_FALSE(list.remove("1"));
    EXPECT_EQ(list.save(), "");

    PlacementList again(file);
    EXPECT_EQ(again.load(), "");
    EXPECT_EQ(again.placements(),
              (std::vector<WidgetPlacement>{{"2", "K", WidgetFamily::systemMedium, 5, -6}}));
    // The next identifier is one past the largest number in use.
    EXPECT_EQ(again.add("K", WidgetFamily::systemSmall, std::nullopt).identifier, "3");
}

TEST(PlacementStore, SkipsUnusableEntriesAndKeepsAsideFilesNotOurs) {
    TemporaryFolder folder;
    const auto path = folder.path() / "widgets.json";
    std::ofstream(path) << R"({"tarvelo-widgets": 1, "widgets": [
        {"id": "1", "kind": "TarveloWidget", "family": "small", "x": 10, "y": 20},
        {"id": "2", "kind": "TarveloWidget", "family": "huge"},
        {"id": "1", "kind": "TarveloWidget", "family": "medium"},
        {"kind": "TarveloWidget", "family": "small"},
        "nonsense",
        {"id": "3", "kind": "TarveloWidget", "family": "medium", "x": 1e12, "y": 5},
        {"id": "4", "kind": "TarveloWidget", "family": "medium", "x": 5}
    ]})";
    std::string problem;
    EXPECT_EQ(PlacementStore(path).load(problem),
              // A position we cannot believe is forgotten, not the widget.
              (std::vector<WidgetPlacement>{{"1", "TarveloWidget", WidgetFamily::systemSmall, 10, 20},
                                            {"3", "TarveloWidget", WidgetFamily::systemMedium, {}, {}},
                                            {"4", "TarveloWidget", WidgetFamily::systemMedium, {}, {}}}));
    EXPECT_NE(problem, "");
    EXPECT_TRUE(keptAside(folder.path()).empty());

    // Files kept aside within the same second never take each other's place,
    // and saving afterwards leaves them alone.
    std::size_t kept = 0;
    for (const auto& text :
         {std::string("{\"tarvelo-widgets\": 1, \"widgets\": ["), std::string("{\"widgets\": []}"),
          std::string("{\"tarvelo-widgets\": 1}"), std::string("{\"tarvelo-widgets\": 1, \"widgets\": {}}"),
          std::string("{\"tarvelo-widgets\": 2, \"widgets\": []}"), std::string("\0\xff", 2)}) {
        SCOPED_TRACE(text);
        std::ofstream(path) << text;
        PlacementStore store(path);
        problem.clear();
        EXPECT_TRUE(store.load(problem).empty());
        EXPECT_NE(problem, "");
        EXPECT_EQ(keptAside(folder.path()).size(), ++kept);
        ASSERT_TRUE(store.save({{"1", "K", WidgetFamily::systemSmall, 0, 0}}, problem));
        EXPECT_EQ(keptAside(folder.path()).size(), kept);
        EXPECT_EQ(store.load(problem).size(), 1u);
    }
}

// The XDG rule (XdgFolders), seen through the state folder: a relative or
// empty variable is ignored; without an absolute HOME the password
// database's home serves.
TEST(PlacementStore, DefaultPathFollowsTheStateFolder) {
    const std::filesystem::path account = ::getpwuid(::getuid())->pw_dir;
    const struct {
        const char* stateHome;
        const char* home;
        std::filesystem::path folder;
    } cases[]{
        {"/somewhere/state", "/home/someone", "/somewhere/state"},
        {"relative/state", "/home/someone", "/home/someone/.local/state"},
        {"", "/home/someone", "/home/someone/.local/state"},
        {nullptr, "/home/someone", "/home/someone/.local/state"},
        {nullptr, "relative/home", account / ".local/state"},
        {nullptr, nullptr, account / ".local/state"},
    };
    EnvironmentGuard environment{{"XDG_STATE_HOME", nullptr}, {"HOME", nullptr}};
    for (const auto& each : cases) {
        environment.set("XDG_STATE_HOME", each.stateHome);
        environment.set("HOME", each.home);
        EXPECT_EQ(PlacementStore::defaultPath(), each.folder / "tarvelo/widgets.json") << each.folder;
    }
}

TEST(DayClock, WaitsUntilTheNextLocalMidnightThroughShortLongAndMissingOnesAndNumbersLocalDates) {
    EnvironmentGuard environment;
    const auto zone = [&](const char* name) {
        environment.set("TZ", name);
        ::tzset();
    };
    zone("Europe/Berlin");
    // Clocks go forward at 02:00 on 31 March 2024 and back at 03:00 on 27 October.
    const std::pair<std::time_t, std::chrono::seconds> cases[] = {{localTime(2024, 6, 10, 23, 59, 30), 30s},
                                                                  {localTime(2024, 6, 10, 0, 0, 0), 24h},
                                                                  {localTime(2024, 12, 31, 12, 0, 0), 12h},
                                                                  {localTime(2024, 3, 31, 0, 0, 0), 23h},
                                                                  {localTime(2024, 10, 27, 0, 0, 0), 25h}};
    for (const auto& [now, wait] : cases)
        EXPECT_EQ(DayClock::untilNextDay(now), wait) << now;

    // America/Santiago skipped from 00:00 to 01:00 on 8 September 2024: the day still turns once.
    zone("America/Santiago");
    const auto wait = DayClock::untilNextDay(localTime(2024, 9, 7, 12, 0, 0));
    EXPECT_GE(wait, 12h);
    EXPECT_LE(wait, 13h);
    EXPECT_EQ(DayClock::dayNumber(localTime(2024, 9, 7, 12, 0, 0) + wait / 1s), 20240908);

    zone("Pacific/Pago_Pago"); // the local date, not the one in Greenwich
    EXPECT_EQ(DayClock::dayNumber(0), 19691231);
}

TEST(DayWatch, RenewsOnANewDayAnotherZoneOrAClockThatJumped) {
    EnvironmentGuard zone{{"TZ", "Europe/Berlin"}};
    const std::time_t evening = localTime(2024, 6, 10, 23, 59, 0);
    DayWatch::Reading reading{evening, 0us};
    DayWatch watch([&] { return reading; });
    EXPECT_FALSE(watch.restart()); // the first time there is nothing to renew
    EXPECT_EQ(watch.untilDayTurn(), 61s);
    const struct {
        std::time_t now;
        std::chrono::microseconds wallAhead;
        const char* zone;
        bool moved;
    } cases[]{
        {evening + 59, 0us, "Europe/Berlin", false},
        {evening + 59, 1500ms, "Europe/Berlin", false}, // the clock's own jitter
        {evening + 60, 0us, "Europe/Berlin", true},     // midnight
        {evening, 3s, "Europe/Berlin", true},           // the clock was set, or the computer slept
        {evening, 0us, "Europe/London", true},          // same day, another zone
    };
    for (const auto& each : cases) {
        reading = {each.now, each.wallAhead};
        zone.set("TZ", each.zone);
        EXPECT_EQ(watch.moved(), each.moved)
            << each.now - evening << " " << each.wallAhead.count() << " " << each.zone;
    }
    EXPECT_TRUE(watch.restart());
    EXPECT_FALSE(watch.moved());
}

TEST(RestartBackoff, DoublesFromHalfASecondUpToThirtySecondsAndStartsOverAfterASuccess) {
    RestartBackoff backoff;
    std::vector<long> delays;
    for (int failure = 0; failure < 10; ++failure)
        delays.push_back(static_cast<long>(backoff.failed().count()));
    EXPECT_EQ(delays, (std::vector<long>{500, 1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000, 30000}));
    for (int failure = 0; failure < 100000; ++failure) // no count of failures goes past the ceiling
        ASSERT_EQ(backoff.failed(), 30s);
    backoff.succeeded();
    EXPECT_EQ(backoff.failed(), 500ms);
}

TEST(ScreenFit, AWidgetMostlyOffEveryWorkAreaComesUpInsideTheNearest) {
    // Two monitors side by side; the left one has a 32-pixel panel on top.
    const std::vector<ScreenRect> twoMonitors{{0, 32, 1280, 768}, {1280, 0, 1920, 1080}};
    const std::vector<ScreenRect> laptop{{0, 0, 1280, 800}};
    struct Case {
        const char* what;
        ScreenRect widget;
        std::vector<ScreenRect> areas;
        std::pair<int, int> origin;
    } cases[] = {
        {"inside stays", {100, 100, 170, 170}, twoMonitors, {100, 100}},
        {"across two monitors stays", {1200, 100, 170, 170}, twoMonitors, {1200, 100}},
        {"half under the panel stays", {100, -53, 170, 170}, twoMonitors, {100, -53}},
        {"mostly under the panel comes down", {100, -100, 170, 170}, twoMonitors, {100, 32}},
        {"on an unplugged monitor comes to the edge", {3000, 100, 170, 170}, laptop, {1110, 100}},
        {"far below and right goes to the corner", {2400, 1500, 364, 170}, laptop, {916, 630}},
        {"left of everything", {-5000, 500, 170, 170}, twoMonitors, {0, 500}},
        {"nearest of two", {3300, 500, 170, 170}, twoMonitors, {3030, 500}},
        {"larger than the area keeps its corner on it", {-50, 900, 1400, 900}, laptop, {0, 0}},
        {"no work area known stays", {9000, 9000, 170, 170}, {}, {9000, 9000}},
        {"empty areas are no areas", {9000, 9000, 170, 170}, {{0, 0, 0, 0}}, {9000, 9000}},
        {"extreme coordinates", {INT32_MIN, INT32_MAX, 170, 170}, laptop, {0, 630}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitOnScreen(c.widget, c.areas), c.origin) << c.what;
}

TEST(WidgetBackend, GoesThroughXWaylandOnlyWhereThatKeepsWidgetsOnTheDesktop) {
    using Limitation = WidgetBackend::Limitation;
    const struct {
        const char* session;
        const char* waylandDisplay;
        const char* display;
        const char* desktop;
        const char* gdkBackend;
        WidgetBackend::Choice expected;
    } cases[] = {
        {"x11", "", ":0", "XFCE", "", {}},
        {"x11", "", ":0", "GNOME", "", {}},
        {"", "", "", "", "", {}}, // no display at all: GTK says so itself
        {"wayland", "wayland-0", ":0", "GNOME", "", {"x11,wayland", Limitation::none}},
        {"wayland", "wayland-0", ":1", "ubuntu:GNOME", "", {"x11,wayland", Limitation::none}},
        {"wayland", "wayland-0", ":1", "KDE", "", {"x11,wayland", Limitation::none}},
        {"", "wayland-1", ":0", "kde", "", {"x11,wayland", Limitation::none}},
        {"wayland", "", ":0", "GNOME", "", {"x11,wayland", Limitation::none}},
        {"wayland", "wayland-0", "", "GNOME", "", {"", Limitation::noXWayland}},
        {"wayland", "wayland-0", ":0", "GNOME", "x11", {"", Limitation::none}},
        {"wayland", "wayland-0", ":0", "KDE", "x11,wayland", {"", Limitation::none}},
        {"wayland", "wayland-0", ":0", "GNOME", "wayland", {"", Limitation::forcedWayland}},
        {"wayland", "wayland-0", ":0", "GNOME", "wayland,x11", {"", Limitation::forcedWayland}},
        {"wayland", "wayland-1", ":0", "sway", "", {"", Limitation::compositor}},
        {"wayland", "wayland-1", ":0", "sway", "x11", {"", Limitation::compositor}},
        {"wayland", "wayland-1", ":0", "", "", {"", Limitation::compositor}},
        {"wayland", "wayland-1", "", "Hyprland", "", {"", Limitation::compositor}},
    };
    for (const auto& test : cases) {
        const std::map<std::string, std::string> environment{{"XDG_SESSION_TYPE", test.session},
                                                             {"WAYLAND_DISPLAY", test.waylandDisplay},
                                                             {"DISPLAY", test.display},
                                                             {"XDG_CURRENT_DESKTOP", test.desktop},
                                                             {"GDK_BACKEND", test.gdkBackend}};
        const auto choice = WidgetBackend::choose([&](const char* name) { return environment.at(name); });
        EXPECT_EQ(choice, test.expected) << test.session << " " << test.waylandDisplay << " " << test.display
                                         << " " << test.desktop << " GDK_BACKEND=" << test.gdkBackend;
        EXPECT_EQ(WidgetBackend::notice(choice.limitation).empty(), choice.limitation == Limitation::none);
    }
}

// Both files of ours a program reads at start, the widget extension's
// settings and the widget host's placements, against what a hostile or
// merely unlucky machine puts there. A file that is not ours is kept aside
// byte for byte; a file we cannot read is never replaced (its values stay in
// memory); a symbolic link is followed and stays a link.

namespace {

// One of our readers: the file it reads in a folder, a file of its own
// holding one item, and how it reads and then writes one item more (the
// items read, whether it wrote, the items then in memory).
struct Reader {
    const char* name;
    const char* fileName;
    std::string ours;
    std::function<std::tuple<std::size_t, bool, std::size_t>(const fs::path& folder)> readThenWrite;
    std::size_t itemsOnFile(const fs::path& folder) const { return std::get<0>(readThenWrite(folder)); }
};

const Reader readers[]{
    {"settings", "domain.json", R"({"tarvelo-defaults": 1, "values": {"a": {"integer": 5}}})",
     [](const fs::path& folder) {
         UserDefaults defaults("domain", folder);
         const auto items = [&] {
             return std::size_t(defaults.integer("a") == 5) + (defaults.integer("b") == 1);
         };
         const std::size_t read = items();
         defaults.setInteger(1, "b");
         defaults.setInteger(1, "b");
         const bool written = defaults.synchronize();
         return std::tuple{read, written, items()};
     }},
    {"placements", "widgets.json",
     R"({"tarvelo-widgets": 1, "widgets": [{"id": "1", "kind": "K", "family": "small"}]})",
     [](const fs::path& folder) {
         PlacementStore store(folder / "widgets.json");
         std::string problem;
         auto placements = store.load(problem);
         const std::size_t read = placements.size();
         placements.push_back({"2", "K", WidgetFamily::systemMedium, {}, {}});
         return std::tuple{read, store.save(placements, problem), placements.size()};
     }},
};

enum class Expect { keptAside, leftAsItIs, followed };

} // namespace

TEST(HostileFiles, AreKeptAsideLeftAsTheyAreOrFollowedNeverLostOrCrashing) {
    const struct {
        const char* name;
        // Puts the hostile file at `file`, given a file of the reader's own.
        std::function<void(const fs::path& file, const std::string& ours)> make;
        Expect expect;
    } files[]{
        {"nested 65 levels deep",
         [](const fs::path& file, const std::string& ours) {
             writeFile(file, ours.substr(0, ours.size() - 1) + ", \"x\": " + std::string(64, '[') +
                                 std::string(64, ']') + "}");
         },
         Expect::keptAside},
        {"larger than 8 MiB",
         [](const fs::path& file, const std::string& ours) {
             writeFile(file, ours + std::string(8 * 1024 * 1024, ' '));
         },
         Expect::keptAside},
        {"a loop of links",
         [](const fs::path& file, const std::string&) {
             fs::create_symlink(file.filename().string() + ".loop", file);
             fs::create_symlink(file.filename(), file.string() + ".loop");
         },
         Expect::leftAsItIs},
        {"a link into a dotfiles folder",
         [](const fs::path& file, const std::string& ours) {
             writeFile(file.parent_path() / "dotfiles/tarvelo/settings", ours);
             fs::create_symlink("dotfiles/tarvelo/settings", file);
         },
         Expect::followed},
    };
    for (const auto& reader : readers) {
        for (const auto& hostile : files) {
            SCOPED_TRACE(std::string(reader.name) + ", " + hostile.name);
            TemporaryFolder folder;
            const fs::path file = folder.path() / reader.fileName;
            hostile.make(file, reader.ours);
            const auto before = fs::symlink_status(file);
            const std::string bytes = fs::is_symlink(before) ? std::string() : readFile(file);

            ::testing::internal::CaptureStderr();
            const auto [read, written, inMemory] = reader.readThenWrite(folder.path());
            const std::string told = ::testing::internal::GetCapturedStderr();

            EXPECT_EQ(inMemory, read + 1);
            EXPECT_EQ(read, hostile.expect == Expect::followed ? 1u : 0u);
            EXPECT_EQ(written, hostile.expect != Expect::leftAsItIs);
            const auto aside = keptAside(folder.path());
            ASSERT_EQ(aside.size(), hostile.expect == Expect::keptAside ? 1u : 0u);
            if (hostile.expect == Expect::keptAside) {
                EXPECT_TRUE(readFile(aside.front()) == bytes) << "the file kept aside differs";
                EXPECT_EQ(reader.itemsOnFile(folder.path()), 1u);
            } else if (hostile.expect == Expect::leftAsItIs) {
                EXPECT_EQ(fs::symlink_status(file).type(), before.type());
                EXPECT_EQ(fs::symlink_status(file).permissions(), before.permissions());
                EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), reader.name == std::string("settings"))
                    << told;
            } else {
                EXPECT_TRUE(fs::is_symlink(file)) << "the link was replaced";
                EXPECT_EQ(readFile(file), readFile(folder.path() / "dotfiles/tarvelo/settings"));
                EXPECT_EQ(reader.itemsOnFile(folder.path()), 2u);
            }
        }
    }
}

// The real `tarvelo` program on a private desktop: run under
// dbus-run-session and xvfb-run (see CMakeLists.txt), since single-instance
// link delivery needs a session bus and GTK needs a display.
#include "Platform/Defaults/UserDefaults.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/ChildProgram.h"
#include "tests/Support/DesktopFixture.h"

#include <gio/gio.h>

using namespace tarvelo;
using namespace tarvelo::testsupport;

namespace {

DesktopFixture& desktop() {
    static DesktopFixture fixture;
    static const bool prepared = [] {
        const auto program = fixture.program().string();
        fixture.addApplication("test.Default.desktop", program + " default %u",
                               "Name=Default\nMimeType=x-scheme-handler/ical;\n");
        fixture.addApplication("test.Chosen.desktop", program + " chosen %U",
                               "Name=Chosen\nMimeType=x-scheme-handler/ical;\n");
        fixture.addApplication("test.NoURL.desktop", program + " nourl", "Name=No URL\n");
        fixture.setDefault("ical", "test.Default.desktop");
        fixture.updateDatabase();
        // GTK keeps caches for the life of the process; leak reports of the
        // program under test say nothing about date links.
        const char* sanitizer = std::getenv("ASAN_OPTIONS");
        ::setenv("ASAN_OPTIONS", (std::string(sanitizer ? sanitizer : "") + ":detect_leaks=0").c_str(), 1);
        return true;
    }();
    (void)prepared;
    return fixture;
}

// Whether the running instance owns its name on the session bus, waiting
// for it a while.
bool runningInstanceOwnsItsName() {
    bool owned = false;
    const guint watch = g_bus_watch_name(
        G_BUS_TYPE_SESSION, "today.tarvelo.Tarvelo", G_BUS_NAME_WATCHER_FLAGS_NONE,
        +[](GDBusConnection*, const char*, const char*, gpointer flag) { *static_cast<bool*>(flag) = true; },
        nullptr, &owned, nullptr);
    const bool appeared = eventually([&] { return owned; });
    g_bus_unwatch_name(watch);
    return appeared;
}

// Stores the choice the way the application's picker does, and forgets
// earlier launches.
void choose(const char* desktopIdentifier) {
    desktop().forgetRecords();
    platform::UserDefaults defaults("today.tarvelo.Tarvelo", desktop().root() / "config/tarvelo");
    CalendarAppPreference(defaults).setSelection(desktopIdentifier
                                                     ? CalendarAppSelection::app(desktopIdentifier, "Chosen")
                                                     : CalendarAppSelection::systemDefault());
}

} // namespace

TEST(EndToEnd, TheChosenApplicationOrElseTheDefaultHandlerGetsIcalAndTarveloQuits) {
    struct Case {
        const char* chosen;
        const char* link;
        const char* launched; // tag of the launch record, and what it holds
        const char* launchedWith;
    } const cases[] = {
        {nullptr, "tarvelo://date?t=0", "default", "default\nical://\n"},
        {"test.Chosen.desktop", "tarvelo://date?t=-5.5e2", "chosen", "chosen\nical://\n"},
        // One that takes no URL is started plainly.
        {"test.NoURL.desktop", "tarvelo://date?t=0", "nourl", "nourl\n"},
    };
    for (const Case& example : cases) {
        SCOPED_TRACE(example.launched);
        choose(example.chosen);
        EXPECT_EQ(ChildProgram({TARVELO_PROGRAM, example.link}).waitForExit(), 0);
        EXPECT_EQ(desktop().waitForRecord(example.launched), example.launchedWith);
        EXPECT_EQ(desktop().launchCount("default"), example.chosen ? 0 : 1);
    }
}

TEST(EndToEnd, AnInvalidLinkKeepsTarveloRunningUntilAValidOneReachesIt) {
    choose(nullptr);
    ChildProgram first({TARVELO_PROGRAM, "tarvelo://date?t=5x"});
    ASSERT_TRUE(runningInstanceOwnsItsName());
    EXPECT_TRUE(first.running());

    // A second start hands its link to the running instance and ends.
    EXPECT_EQ(ChildProgram({TARVELO_PROGRAM, "tarvelo://date?t=0"}).waitForExit(), 0);
    EXPECT_EQ(first.waitForExit(), 0);
    EXPECT_EQ(desktop().waitForRecord("default"), "default\nical://\n");
    // Only the valid link launched anything.
    EXPECT_EQ(desktop().launchCount("default"), 1);
}

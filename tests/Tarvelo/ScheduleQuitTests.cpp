// Quitting the application: on the main context, and only once no link's
// launch is left unanswered. A process of its own with a session bus of its
// own: the count of links in flight belongs to the process.
#include "Tarvelo/DateLink.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/Eventually.h"
#include "tests/Support/FakeWorkspace.h"
#include "tests/Support/TemporaryFolder.h"

#include <gio/gio.h>
#include <gtest/gtest.h>
#include <thread>

// The workspace may answer on any thread; the quit must still run on the
// thread that runs the main context.
TEST(ScheduleQuit, RunsTheQuitOnTheMainContextWhateverThreadQueuedIt) {
    std::optional<std::thread::id> ranOn;
    std::thread([&] { tarvelo::scheduleQuit([&] { ranOn = std::this_thread::get_id(); }); }).join();
    EXPECT_FALSE(ranOn) << "queued, not run";
    EXPECT_TRUE(tarvelo::testsupport::eventually([&] { return ranOn.has_value(); }));
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

// An instance that owns its name on the bus and has two links in flight:
// the first link's answer gives the name up but must not quit, or the second
// link's launch would go unanswered (and its plain launch or its message
// would be lost). A quit before `run` makes GLib refuse to run.
TEST(ScheduleQuit, WaitsForTheLaunchesOfLinksStillInFlight) {
    tarvelo::testsupport::TemporaryFolder folder;
    platform::UserDefaults defaults("today.tarvelo.Tarvelo", folder.path());
    tarvelo::testsupport::FakeWorkspace workspace;
    workspace.defaultHandlerByContentType.insert_or_assign(
        "text/calendar", workspace.install("calendar.desktop", "calendar.desktop"));
    tarvelo::CalendarAppPreference preference(defaults, workspace);
    GApplication* application = g_application_new("today.tarvelo.QuitTest", G_APPLICATION_DEFAULT_FLAGS);
    ASSERT_TRUE(g_application_register(application, nullptr, nullptr)); // and the default application
    int quits = 0;
    const tarvelo::DateLinkServices services{workspace, preference, [&quits] {
                                                 ++quits;
                                                 tarvelo::scheduleQuit();
                                             }};
    for (int link = 0; link < 2; ++link)
        tarvelo::handleDateLink(*platform::URL::string("tarvelo://date?t=0"), services);
    ASSERT_EQ(workspace.openURLsRequests.size(), 2u);
    workspace.openURLsRequests[0].completion(std::nullopt);
    tarvelo::testsupport::settle();
    EXPECT_EQ(quits, 1);

    // Running, the second answer comes; then it quits.
    g_application_hold(application);
    g_signal_connect_swapped(application, "activate",
                             G_CALLBACK(+[](tarvelo::testsupport::FakeWorkspace* fake) {
                                 fake->openURLsRequests[1].completion(std::nullopt);
                             }),
                             &workspace);
    EXPECT_EQ(g_application_run(application, 0, nullptr), 0);
    EXPECT_EQ(quits, 2);
    g_object_unref(application);
}

// Which calendar application a click on a day opens, and how, on a private
// desktop whose entries are shaped like those of Debian's calendar packages
// (docs/workspace.md): none of them declares "ical:", so the desktop's
// calendar application is the "text/calendar" one, started plainly. Runs on
// a session bus of its own (see CMakeLists.txt) for the D-Bus activated one.
#include "Platform/Defaults/UserDefaults.h"
#include "Platform/Workspace/GioWorkspace.h"
#include "Tarvelo/DateLink.h"
#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/DesktopFixture.h"
#include "tests/Support/Eventually.h"

#include <fstream>
#include <gtest/gtest.h>

using tarvelo::CalendarAppSelection;
using tarvelo::testsupport::DesktopFixture;

namespace {

DesktopFixture& desktop() {
    static DesktopFixture fixture;
    static const bool prepared = [] {
        const auto program = fixture.program().string();
        // GNOME Calendar, Orage, Thunderbird, Evolution as Debian 12 ships them.
        fixture.addApplication("test.GnomeCalendar.desktop", program + " gnome-calendar %U",
                               "Name=Calendar\nMimeType=text/calendar;\nDBusActivatable=true\n");
        fixture.addApplication("test.Orage.desktop", program + " orage %F",
                               "Name=Orage Calendar\nMimeType=text/calendar;\n");
        fixture.addApplication("test.Thunderbird.desktop", program + " thunderbird %u",
                               "Name=Thunderbird\nMimeType=message/rfc822;text/calendar;"
                               "x-scheme-handler/mailto;x-scheme-handler/webcal;\n");
        fixture.addApplication("test.Evolution.desktop", program + " evolution %U",
                               "Name=Evolution\nX-GNOME-FullName=Evolution Mail and Calendar\n"
                               "MimeType=text/calendar;x-scheme-handler/mailto;x-scheme-handler/webcal;\n");
        // Never offered: a program that is not installed, a hidden helper.
        fixture.addApplication("test.KOrganizer.desktop", program + " korganizer %U",
                               "Name=KOrganizer\nTryExec=" + (fixture.root() / "bin/korganizer").string() +
                                   "\nMimeType=text/calendar;\n");
        fixture.addApplication("test.KOrganizerView.desktop", program + " korganizer-view %u",
                               "Name=KOrganizer View\nNoDisplay=true\nMimeType=text/calendar\n");
        fixture.updateDatabase();
        return true;
    }();
    (void)prepared;
    return fixture;
}

// The application "test.GnomeCalendar" on the session bus, as GApplication
// exports it, records how it was asked to start: "Activate" or "Open".
constexpr const char* busName = "test.GnomeCalendar";
void recordBusCall(const char* text) {
    std::ofstream(desktop().root() / "records" / (std::string(busName) + ".bus")) << text;
}

// One shape of calendar application: made the desktop's default (or
// chosen in the picker), what the picker names as the system default, and
// what a click then starts: the records of the program or of the bus.
const struct Case {
    const char* textCalendarDefault;
    const char* chosen;
    const char* systemDefaultName;
    const char* launchedTag;
    const char* launchedWith;
} cases[] = {
    // D-Bus activated, as GIO does: activated, never opened on a URI.
    {"test.GnomeCalendar.desktop", nullptr, "Calendar", busName, "Activate\n"},
    // "%F": it takes files, and "ical://" is none.
    {"test.Orage.desktop", nullptr, "Orage Calendar", "orage", "orage\n"},
    // "%u", but "ical:" is not among its schemes.
    {"test.Thunderbird.desktop", nullptr, "Thunderbird", "thunderbird", "thunderbird\n"},
    // A stored choice goes before the default, and is started plainly too.
    {"test.Orage.desktop", "test.Evolution.desktop", "Orage Calendar", "evolution", "evolution\n"},
};

} // namespace

TEST(CalendarApplication, TheTextCalendarApplicationIsListedNamedAndStartedPlainly) {
    GApplication* busApplication = g_application_new(busName, G_APPLICATION_HANDLES_OPEN);
    g_signal_connect(busApplication, "activate", G_CALLBACK(+[] { recordBusCall("Activate\n"); }), nullptr);
    g_signal_connect(busApplication, "open", G_CALLBACK(+[] { recordBusCall("Open\n"); }), nullptr);
    g_application_register(busApplication, nullptr, nullptr);
    platform::GioWorkspace workspace;
    platform::UserDefaults defaults("today.tarvelo.Tarvelo", desktop().root() / "config/tarvelo");
    tarvelo::CalendarAppPreference preference(defaults, workspace);

    std::vector<std::string> names;
    for (const auto& candidate : tarvelo::CalendarAppCatalog::installed(workspace))
        names.push_back(candidate.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Calendar", "Evolution Mail and Calendar", "Orage Calendar",
                                               "Thunderbird"}));

    for (const auto& row : cases) {
        SCOPED_TRACE(row.launchedTag);
        ASSERT_TRUE(desktop().changeAndWaitForGIO(
            [&] { desktop().setDefaultForType("text/calendar", row.textCalendarDefault); }));
        preference.setSelection(row.chosen ? CalendarAppSelection::app(row.chosen, "Chosen")
                                           : CalendarAppSelection::systemDefault());
        const auto systemDefault = tarvelo::CalendarAppCatalog::systemDefault(workspace);
        ASSERT_TRUE(systemDefault);
        EXPECT_EQ(systemDefault->name, row.systemDefaultName);

        int quits = 0;
        tarvelo::handleDateLink(*platform::URL::string("tarvelo://date?t=818000000"),
                                {workspace, preference, [&] { ++quits; }});
        EXPECT_EQ(desktop().waitForRecord(row.launchedTag), std::string(row.launchedWith));
        EXPECT_TRUE(tarvelo::testsupport::eventually([&] { return quits > 0; }));
        desktop().forgetRecords();
    }
    g_object_unref(busApplication);
}

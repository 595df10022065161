// The picker's model: what it shows (the face, the entries and their
// checkmarks, the warning) for each state of the desktop and of the stored
// choice, and what its actions and the open panel store.
#include "Platform/Workspace/DesktopEntry.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPickerModel.h"
#include "tests/Support/FakeCalendarDesktop.h"

#include <gmock/gmock.h>

using tarvelo::CalendarAppPickerEntry;
using tarvelo::CalendarAppSelection;
using Strings = std::vector<std::string>;

namespace {

const std::string chooseOther = "Choose Another Application\u2026";

class CalendarAppPicker : public ::testing::Test, public tarvelo::testsupport::FakeCalendarDesktop {
protected:
    // The entries' titles ("---" for separators), or only the checked ones.
    Strings titles(bool checkedOnly = false) const {
        Strings result;
        for (const auto& entry : model.entries())
            if (entry.checked || !checkedOnly)
                result.push_back(entry.kind == CalendarAppPickerEntry::Kind::separator ? "---" : entry.title);
        return result;
    }
    Strings checked() const { return titles(true); }
    Strings candidateNames() const {
        Strings result;
        for (const auto& candidate : model.candidates())
            result.push_back(candidate.name);
        return result;
    }

    tarvelo::CalendarAppPickerModel model{preference, workspace, panelMaker()};
};

} // namespace

TEST_F(CalendarAppPicker, AFreshInstallationShowsTheSystemDefaultWithItsNameAndIconFromTheFirstReload) {
    EXPECT_EQ(titles(), (Strings{"System default", "---", chooseOther}));
    EXPECT_EQ(model.menuIconURL(), std::nullopt);
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "System default (Calendar)");
    EXPECT_EQ(model.menuIconURL(), calendarURL);
    EXPECT_EQ(model.menuIcon(), "application-x-executable");
    EXPECT_EQ(titles(),
              (Strings{"System default (Calendar)", "---", "Agenda", "Calendar", "---", chooseOther}));
    EXPECT_EQ(checked(), Strings{"System default (Calendar)"});
    EXPECT_FALSE(model.showsMissingWarning());
}

TEST_F(CalendarAppPicker, WithoutAnIcalHandlerTheSystemDefaultIsTheCalendarFilesApplicationOrNone) {
    workspace.defaultHandlerByScheme.clear();
    workspace.handlersByScheme.erase("ical");
    workspace.handlersByContentType["text/calendar"] = {notesURL};
    workspace.defaultHandlerByContentType.insert_or_assign("text/calendar", notesURL);
    model.reloadCandidates();
    EXPECT_EQ(model.menuIconURL(), notesURL);
    // "webcal" handlers are still listed.
    EXPECT_EQ(titles(), (Strings{"System default (Notes)", "---", "Agenda", "Notes", "---", chooseOther}));

    workspace.defaultHandlerByContentType.clear();
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "System default (none installed)");
    EXPECT_EQ(model.menuIcon(), std::nullopt);
    // Without any calendar handler at all there is one separator only.
    workspace.handlersByScheme.clear();
    workspace.handlersByContentType.clear();
    model.reloadCandidates();
    EXPECT_EQ(titles(), (Strings{"System default (none installed)", "---", chooseOther}));
    EXPECT_EQ(checked(), Strings{"System default (none installed)"});
}

TEST_F(CalendarAppPicker, AStoredOlderNameStillMarksTheApplicationAndShowsOnTheFace) {
    preference.setSelection(CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda 2019"));
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "Agenda 2019");
    EXPECT_EQ(model.menuIconURL(), agendaURL);
    EXPECT_EQ(checked(), Strings{"Agenda"}) << "the list keeps the application's current name";
}

TEST_F(CalendarAppPicker, AChosenApplicationThatWasRemovedShowsAsNotInstalledUntilTheDefaultIsChosen) {
    preference.setSelection(CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda"));
    workspace.installedByIdentifier.erase("org.example.Agenda.desktop");
    workspace.bundles.erase(agendaURL.absoluteString());
    workspace.handlersByScheme = {{"ical", {calendarURL}}};
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "Agenda (not installed)");
    EXPECT_EQ(model.menuIconURL(), std::nullopt);
    EXPECT_TRUE(model.showsMissingWarning());
    EXPECT_EQ(titles(), (Strings{"System default (Calendar)", "---", "Calendar", "---", chooseOther}));
    EXPECT_TRUE(checked().empty());

    model.activate(model.entries().front());
    EXPECT_TRUE(preference.selection().isSystemDefault());
    EXPECT_FALSE(model.showsMissingWarning());
    EXPECT_EQ(checked(), Strings{"System default (Calendar)"});
}

// Written elsewhere (another window, another program): shown at once; a new
// system default only at the next reload.
TEST_F(CalendarAppPicker, TheFaceFollowsTheStoredChoiceWithoutAReloadAndTheDefaultAtEveryReload) {
    int announcements = 0;
    model.candidatesDidChange.connect([&] { ++announcements; });
    model.reloadCandidates();
    preference.setSelection(CalendarAppSelection::app("org.example.Calendar.desktop", "Calendar"));
    EXPECT_EQ(model.menuTitle(), "Calendar");
    EXPECT_EQ(checked(), Strings{"Calendar"});

    preference.setSelection(CalendarAppSelection::systemDefault());
    workspace.defaultHandlerByScheme.insert_or_assign("ical", agendaURL);
    EXPECT_EQ(model.menuTitle(), "System default (Calendar)");
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "System default (Agenda)");
    EXPECT_EQ(model.menuIconURL(), agendaURL);
    EXPECT_EQ(announcements, 2);
}

TEST_F(CalendarAppPicker, ThePanelOffersOneApplicationFromTheApplicationsFolderOnePanelAtATime) {
    model.activate(model.entries().back());
    ASSERT_TRUE(panel->running());
    EXPECT_THAT(panel->calls,
                testing::IsSupersetOf({"setAllowedContentTypes application", "setAllowsMultipleSelection no",
                                       "setCanChooseDirectories no"}));
    EXPECT_EQ(panel->directory, platform::URL::fileURL(platform::DesktopEntry::applicationsFolder()));
    EXPECT_TRUE(model.isChoosingOtherApplication());
    model.chooseOtherApplication();
    EXPECT_EQ(panel->panelsMade, 1);
    panel->answer(0, std::nullopt);
    model.chooseOtherApplication();
    EXPECT_EQ(panel->panelsMade, 2);
}

TEST_F(CalendarAppPicker, AnApplicationPickedInThePanelIsStoredAndListedInNameOrderAlsoAtLaterReloads) {
    model.reloadCandidates();
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, notesURL);
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("org.example.Notes.desktop", "Notes"));
    EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Calendar", "Notes"}));
    EXPECT_EQ(checked(), Strings{"Notes"});
    EXPECT_FALSE(model.isChoosingOtherApplication());
    EXPECT_EQ(panel->panelsAlive, 0);

    install("b.desktop", "org.example.Bee.desktop", "Bee");
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, platform::URL::fileURL("/apps/b.desktop"));
    model.reloadCandidates();
    EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Bee", "Calendar"}));
    EXPECT_EQ(checked(), Strings{"Bee"});
}

TEST_F(CalendarAppPicker, APanelAnswerWithoutAnApplicationChangesNothing) {
    const std::pair<long, std::optional<platform::URL>> cases[] = {
        {platform::modalResponseOK, looseURL}, // an entry without identifier
        {platform::modalResponseOK, platform::URL::fileURL("/home/a/notes.txt")},
        {0, notesURL}, // a URL left over from browsing, without a confirmation
        {platform::modalResponseOK, std::nullopt},
    };
    model.reloadCandidates();
    // A change to the desktop that a reload would show.
    workspace.handlersByScheme["ical"].push_back(notesURL);
    int writes = 0;
    preference.objectWillChange.connect([&] { ++writes; });
    for (const auto& [response, url] : cases) {
        model.chooseOtherApplication();
        panel->answer(response, url);
        EXPECT_EQ(writes, 0);
        EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Calendar"})) << "the list must not be reloaded";
        EXPECT_FALSE(model.isChoosingOtherApplication());
    }
}

TEST(CalendarAppPickerLifetime, AModelGoneWhileItsPanelIsOpenClosesThePanel) {
    tarvelo::testsupport::FakeCalendarDesktop desktop;
    {
        tarvelo::CalendarAppPickerModel model{desktop.preference, desktop.workspace, desktop.panelMaker()};
        model.chooseOtherApplication();
        EXPECT_EQ(desktop.panel->panelsAlive, 1);
    }
    EXPECT_EQ(desktop.panel->panelsAlive, 0);
}

// What the picker shows: the face, the entries and their checkmarks, the
// warning, for each state of the desktop and of the stored choice.
#include "CalendarAppPickerFixture.h"

using tarvelo::CalendarAppSelection;
using tarvelo::testsupport::CalendarAppPickerFixture;
using Strings = std::vector<std::string>;

namespace {

const std::string chooseOther = "Choose Another Application\u2026";

class CalendarAppPickerFaceTest : public CalendarAppPickerFixture {};

} // namespace

TEST_F(CalendarAppPickerFaceTest, BeforeTheFirstReloadOffersOnlyTheSystemDefaultAndThePanel) {
    EXPECT_EQ(titles(), (Strings{"System default", "---", chooseOther}));
    EXPECT_EQ(model.menuTitle(), "System default");
    EXPECT_EQ(model.menuIconURL(), std::nullopt);
}

TEST_F(CalendarAppPickerFaceTest, AFreshInstallationShowsTheSystemDefaultWithItsNameAndIcon) {
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "System default (Calendar)");
    EXPECT_EQ(model.menuIconURL(), calendarURL);
    EXPECT_EQ(model.menuIcon(), "application-x-executable");
    EXPECT_EQ(titles(), (Strings{"System default (Calendar)", "---", "Agenda", "Calendar", "---", chooseOther}));
    EXPECT_EQ(checked(), Strings{"System default (Calendar)"});
    EXPECT_FALSE(model.showsMissingWarning());
}

TEST_F(CalendarAppPickerFaceTest, WithoutAnIcalHandlerTheSystemDefaultIsTheCalendarFilesApplication) {
    workspace.defaultHandlerByScheme.clear();
    workspace.handlersByScheme.erase("ical");
    workspace.handlersByContentType["text/calendar"] = {notesURL};
    workspace.defaultHandlerByContentType.insert_or_assign("text/calendar", notesURL);
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "System default (Notes)");
    EXPECT_EQ(model.menuIconURL(), notesURL);
    // "webcal" handlers are still listed.
    EXPECT_EQ(titles(), (Strings{"System default (Notes)", "---", "Agenda", "Notes", "---", chooseOther}));

    // Without any default the face says there is none, and shows no icon.
    workspace.defaultHandlerByContentType.clear();
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "System default (none installed)");
    EXPECT_EQ(model.menuIconURL(), std::nullopt);
    EXPECT_EQ(model.menuIcon(), std::nullopt);
}

TEST_F(CalendarAppPickerFaceTest, WithoutAnyCalendarHandlerThereIsOneSeparatorOnly) {
    workspace.defaultHandlerByScheme.clear();
    workspace.handlersByScheme.clear();
    model.reloadCandidates();
    EXPECT_TRUE(model.candidates().empty());
    EXPECT_EQ(titles(), (Strings{"System default (none installed)", "---", chooseOther}));
    EXPECT_EQ(checked(), Strings{"System default (none installed)"});
}

TEST_F(CalendarAppPickerFaceTest, AStoredOlderNameStillMarksTheApplicationAndShowsOnTheFace) {
    preference.setSelection(CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda 2019"));
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "Agenda 2019");
    EXPECT_EQ(model.menuIconURL(), agendaURL);
    // The list keeps the application's current name.
    EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Calendar"}));
    EXPECT_EQ(checked(), Strings{"Agenda"});
}

TEST_F(CalendarAppPickerFaceTest, AChosenApplicationThatWasRemovedShowsAsNotInstalled) {
    preference.setSelection(CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda"));
    // Removed from the desktop between two openings of the window.
    workspace.installedByIdentifier.erase("org.example.Agenda.desktop");
    workspace.bundles.erase(agendaURL.absoluteString());
    workspace.handlersByScheme["ical"] = {calendarURL};
    workspace.handlersByScheme.erase("webcal");
    model.reloadCandidates();

    EXPECT_EQ(model.menuTitle(), "Agenda (not installed)");
    EXPECT_EQ(model.menuIconURL(), std::nullopt);
    EXPECT_TRUE(model.showsMissingWarning());
    EXPECT_EQ(candidateNames(), Strings{"Calendar"});
    EXPECT_TRUE(checked().empty());

    model.chooseSystemDefault();
    EXPECT_FALSE(model.showsMissingWarning());
    EXPECT_EQ(model.menuTitle(), "System default (Calendar)");
    EXPECT_EQ(checked(), Strings{"System default (Calendar)"});
}

TEST_F(CalendarAppPickerFaceTest, TheFaceFollowsTheStoredChoiceWithoutAReload) {
    model.reloadCandidates();
    // Written elsewhere (another window, another program): shown at once.
    preference.setSelection(CalendarAppSelection::app("org.example.Calendar.desktop", "Calendar"));
    EXPECT_EQ(model.menuTitle(), "Calendar");
    EXPECT_EQ(checked(), Strings{"Calendar"});
}

TEST_F(CalendarAppPickerFaceTest, TheSystemDefaultIsLookedUpAgainAtEveryReload) {
    model.reloadCandidates();
    workspace.defaultHandlerByScheme.insert_or_assign("ical", agendaURL);
    EXPECT_EQ(model.menuTitle(), "System default (Calendar)");
    model.reloadCandidates();
    EXPECT_EQ(model.menuTitle(), "System default (Agenda)");
    EXPECT_EQ(model.menuIconURL(), agendaURL);
}

TEST_F(CalendarAppPickerFaceTest, AnnouncesEachReload) {
    int announcements = 0;
    model.candidatesDidChange.connect([&] { ++announcements; });
    model.reloadCandidates();
    model.reloadCandidates();
    EXPECT_EQ(announcements, 2);
}

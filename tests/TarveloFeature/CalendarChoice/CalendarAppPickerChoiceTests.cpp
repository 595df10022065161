// What the picker's actions store: entries of the menu and the open panel.
#include "CalendarAppPickerFixture.h"

#include "DesktopEntry.h"

using tarvelo::CalendarAppPickerEntry;
using tarvelo::CalendarAppSelection;
using tarvelo::testsupport::CalendarAppPickerFixture;
using Strings = std::vector<std::string>;

namespace {

class CalendarAppPickerChoiceTest : public CalendarAppPickerFixture {
protected:
    void SetUp() override { model.reloadCandidates(); }

    CalendarAppPickerEntry entryTitled(const std::string& title) const {
        for (const auto& entry : model.entries())
            if (entry.title == title)
                return entry;
        ADD_FAILURE() << "no entry " << title;
        return {};
    }
    // Changes the desktop so that a reload would show.
    void addHandlerBehindTheModelsBack() {
        workspace.handlersByScheme["ical"].push_back(notesURL);
    }
};

} // namespace

TEST_F(CalendarAppPickerChoiceTest, ChoosingAListedApplicationMovesTheCheckmarkAndKeepsTheList) {
    const auto before = model.candidates();
    model.activate(entryTitled("Agenda"));
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda"));
    EXPECT_EQ(model.menuTitle(), "Agenda");
    EXPECT_EQ(model.menuIconURL(), agendaURL);
    EXPECT_EQ(checked(), Strings{"Agenda"});
    EXPECT_EQ(model.candidates(), before);

    model.activate(entryTitled("System default (Calendar)"));
    EXPECT_TRUE(preference.selection().isSystemDefault());
    EXPECT_EQ(checked(), Strings{"System default (Calendar)"});
}

TEST_F(CalendarAppPickerChoiceTest, ThePanelIsSetUpForOneApplicationFromTheApplicationsFolder) {
    model.activate(model.entries().back());
    ASSERT_TRUE(panel->running());
    EXPECT_EQ(panel->calls, (Strings{"setAllowedContentTypes application", "setAllowsMultipleSelection no",
                                     "setCanChooseDirectories no", "setDirectoryURL", "setPrompt Choose",
                                     "setMessage Choose the application that should open when you click a date.",
                                     "runModal"}));
    EXPECT_EQ(panel->directory, platform::URL::fileURL(platform::DesktopEntry::applicationsFolder()));
    EXPECT_TRUE(model.isChoosingOtherApplication());
}

TEST_F(CalendarAppPickerChoiceTest, AnApplicationPickedInThePanelIsStoredAndListedInNameOrder) {
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, notesURL);
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("org.example.Notes.desktop", "Notes"));
    EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Calendar", "Notes"}));
    EXPECT_EQ(checked(), Strings{"Notes"});
    EXPECT_EQ(model.menuTitle(), "Notes");
    EXPECT_FALSE(model.isChoosingOtherApplication());
    EXPECT_EQ(panel->panelsAlive, 0);
}

TEST_F(CalendarAppPickerChoiceTest, APickedApplicationStaysListedAtLaterReloads) {
    workspace.install("b.desktop", "org.example.Bee.desktop", {{"CFBundleName", std::string("Bee")}});
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, platform::URL::fileURL("/apps/b.desktop"));
    model.reloadCandidates();
    EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Bee", "Calendar"}));
    EXPECT_EQ(checked(), Strings{"Bee"});
}

TEST_F(CalendarAppPickerChoiceTest, APanelChoiceWithoutIdentifierChangesNothing) {
    preference.setSelection(CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda"));
    addHandlerBehindTheModelsBack();
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, looseURL);
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("org.example.Agenda.desktop", "Agenda"));
    EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Calendar"})) << "the list must not be reloaded";
    EXPECT_FALSE(model.isChoosingOtherApplication());
}

TEST_F(CalendarAppPickerChoiceTest, APanelChoiceThatIsNoApplicationChangesNothing) {
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, platform::URL::fileURL("/home/someone/notes.txt"));
    EXPECT_TRUE(preference.selection().isSystemDefault());
}

TEST_F(CalendarAppPickerChoiceTest, ACancelledPanelChangesNothing) {
    addHandlerBehindTheModelsBack();
    int writes = 0;
    preference.objectWillChange.connect([&] { ++writes; });
    model.chooseOtherApplication();
    // A URL left over from browsing does not count without a confirmation.
    panel->answer(0, notesURL);
    EXPECT_EQ(writes, 0);
    EXPECT_TRUE(preference.selection().isSystemDefault());
    EXPECT_EQ(candidateNames(), (Strings{"Agenda", "Calendar"}));
}

TEST_F(CalendarAppPickerChoiceTest, AConfirmedPanelWithoutAFileChangesNothing) {
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, std::nullopt);
    EXPECT_TRUE(preference.selection().isSystemDefault());
    EXPECT_FALSE(model.isChoosingOtherApplication());
}

TEST_F(CalendarAppPickerChoiceTest, OnlyOnePanelAtATimeAndAFreshOneAfterwards) {
    model.chooseOtherApplication();
    model.chooseOtherApplication();
    EXPECT_EQ(panel->panelsMade, 1);
    panel->answer(0, std::nullopt);
    model.chooseOtherApplication();
    EXPECT_EQ(panel->panelsMade, 2);
}

TEST(CalendarAppPickerLifetimeTest, AModelGoneWhileItsPanelIsOpenClosesThePanel) {
    tarvelo::testsupport::TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    tarvelo::testsupport::FakeWorkspace workspace;
    tarvelo::CalendarAppPreference preference{defaults, workspace};
    auto record = std::make_shared<tarvelo::testsupport::FakeOpenPanel::Record>();
    {
        tarvelo::CalendarAppPickerModel model{
            preference, workspace, [record] { return std::make_unique<tarvelo::testsupport::FakeOpenPanel>(record); }};
        model.chooseOtherApplication();
        EXPECT_EQ(record->panelsAlive, 1);
    }
    EXPECT_EQ(record->panelsAlive, 0);
}

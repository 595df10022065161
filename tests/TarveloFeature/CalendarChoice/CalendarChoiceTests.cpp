// The stored choice of calendar application; the catalog of the desktop's
// calendar applications it is chosen from; and the picker's model: what it
// shows (the face, the entries and their checkmarks, the warning) for each
// state of the desktop and of the stored choice, and what its actions and
// the open panel store.
#include "Platform/Workspace/DesktopEntry.h"
#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPickerModel.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/FakeCalendarDesktop.h"
#include "tests/Support/TemporaryFolder.h"

#include <gmock/gmock.h>

namespace CalendarAppCatalog = tarvelo::CalendarAppCatalog;
using platform::InfoDictionaryValue;
using tarvelo::CalendarAppCandidate;
using tarvelo::CalendarAppPickerEntry;
using tarvelo::CalendarAppPreference;
using tarvelo::CalendarAppSelection;
using Strings = std::vector<std::string>;

namespace {

// A preference in a folder of its own over a fake workspace.
class CalendarChoice : public ::testing::Test {
protected:
    tarvelo::testsupport::EnvironmentGuard locale{{"LC_ALL", "en_US.UTF-8"}};
    tarvelo::testsupport::TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    tarvelo::testsupport::FakeWorkspace workspace;
    CalendarAppPreference preference{defaults, workspace};

    platform::URL app(const std::string& file, const std::string& identifier, const std::string& name) {
        return workspace.install(file, identifier, {{"CFBundleName", InfoDictionaryValue(name)}});
    }
    Strings installedNames() {
        Strings names;
        for (const auto& candidate : CalendarAppCatalog::installed(workspace))
            names.push_back(candidate.name);
        return names;
    }
};

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

    tarvelo::CalendarAppPickerModel model{preference, workspace, panelMaker()};
};

} // namespace

// An empty or non-text identifier is the system default; a missing or
// non-text name is the identifier.
TEST_F(CalendarChoice, ReadsWhateverTheKeysHold) {
    EXPECT_TRUE(preference.selection().isSystemDefault());
    EXPECT_EQ(preference.resolvedApplicationURL(), std::nullopt);
    EXPECT_FALSE(preference.selectionIsMissing());
    EXPECT_TRUE(workspace.lookedUpIdentifiers.empty()) << "the system default is the caller's to look up";
    const std::string id = "org.gnome.Calendar.desktop";
    const struct Case {
        platform::DefaultsValue identifier;
        std::optional<platform::DefaultsValue> name;
        CalendarAppSelection read;
    } cases[] = {
        {std::string(), std::string("Calendar"), CalendarAppSelection::systemDefault()},
        {std::int64_t{42}, std::nullopt, CalendarAppSelection::systemDefault()},
        {id, std::nullopt, CalendarAppSelection::app(id, id)},
        {id, std::int64_t{7}, CalendarAppSelection::app(id, id)},
        {id, std::string(), CalendarAppSelection::app(id, "")},
    };
    for (const Case& example : cases) {
        defaults.setObject(example.identifier, CalendarAppPreference::bundleIdentifierKey);
        example.name ? defaults.setObject(*example.name, CalendarAppPreference::displayNameKey)
                     : defaults.removeObject(CalendarAppPreference::displayNameKey);
        EXPECT_EQ(preference.selection(), example.read) << &example - cases;
    }
}

// Every write is announced once, before the keys change, and seen by every
// instance over the same defaults.
TEST_F(CalendarChoice, AnnouncesEveryWriteBeforeTouchingTheKeys) {
    CalendarAppPreference other{defaults, workspace};
    std::vector<std::optional<std::string>> storedAtAnnouncement;
    preference.objectWillChange.connect(
        [&] { storedAtAnnouncement.push_back(defaults.string(CalendarAppPreference::bundleIdentifierKey)); });
    preference.setSelection(CalendarAppSelection::app("a.desktop", "A"));
    EXPECT_EQ(other.selection(), CalendarAppSelection::app("a.desktop", "A"));
    preference.updateSelection([](CalendarAppSelection& selection) {
        selection = CalendarAppSelection::app(selection.chosenApp()->bundleIdentifier, "Renamed");
    });
    EXPECT_EQ(other.selection(), CalendarAppSelection::app("a.desktop", "Renamed"));
    preference.setSelection(CalendarAppSelection::systemDefault());
    EXPECT_FALSE(defaults.object(CalendarAppPreference::bundleIdentifierKey));
    EXPECT_FALSE(defaults.object(CalendarAppPreference::displayNameKey));
    preference.setSelection(CalendarAppSelection::app("", "Nothing"));
    EXPECT_TRUE(other.selection().isSystemDefault());
    EXPECT_EQ(storedAtAnnouncement, (std::vector<std::optional<std::string>>{std::nullopt, "a.desktop",
                                                                             "a.desktop", std::nullopt}));
}

TEST_F(CalendarChoice, NamesByDisplayNameThenNameThenFileNameAndNeedsAnIdentifierAndABundle) {
    const struct Case {
        const char* file;
        std::map<std::string, InfoDictionaryValue> info;
        const char* name;
    } cases[] = {
        {"Both.desktop", {{"CFBundleDisplayName", "Display"}, {"CFBundleName", "Short"}}, "Display"},
        {"NameOnly.desktop", {{"CFBundleName", "Short"}}, "Short"},
        {"Calendar.desktop", {}, "Calendar"},
        {"Numbers.desktop", {{"CFBundleDisplayName", std::int64_t{5}}, {"CFBundleName", true}}, "Numbers"},
        {"Empty.desktop", {{"CFBundleDisplayName", ""}}, ""},
    };
    for (const Case& example : cases) {
        const auto url = workspace.install(example.file, example.file, example.info);
        EXPECT_EQ(CalendarAppCatalog::candidate(url, workspace),
                  (CalendarAppCandidate{example.file, example.name, url}));
    }
    const auto anonymous = workspace.install("Anonymous.desktop", std::nullopt, {{"CFBundleName", "A"}});
    const auto gone = platform::URL::fileURL("/apps/Gone.desktop");
    workspace.handlersByScheme["ical"] = {anonymous, gone};
    workspace.defaultHandlerByScheme.insert_or_assign("ical", anonymous);
    EXPECT_FALSE(CalendarAppCatalog::candidate(anonymous, workspace));
    EXPECT_FALSE(CalendarAppCatalog::candidate(gone, workspace));
    EXPECT_TRUE(CalendarAppCatalog::installed(workspace).empty());
    EXPECT_FALSE(CalendarAppCatalog::systemDefault(workspace));
}

TEST_F(CalendarChoice, ListsEachApplicationOnceAsFoundForIcalThenWebcalThenCalendarFiles) {
    const auto forIcal = app("One.desktop", "same", "From ical");
    const auto forWebcal = app("Two.desktop", "same", "From webcal");
    const auto webcalOnly = app("Three.desktop", "other", "Webcal only");
    const auto filesToo = app("Four.desktop", "other", "From files");
    const auto filesOnly = app("Five.desktop", "files", "Files only");
    workspace.handlersByScheme["ical"] = {forIcal, forIcal};
    workspace.handlersByScheme["webcal"] = {forWebcal, webcalOnly};
    workspace.handlersByContentType["text/calendar"] = {filesToo, filesOnly, forIcal};
    EXPECT_EQ(CalendarAppCatalog::installed(workspace),
              (std::vector<CalendarAppCandidate>{{"files", "Files only", filesOnly},
                                                 {"same", "From ical", forIcal},
                                                 {"other", "Webcal only", webcalOnly}}));
}

// Like the file manager; equal names keep their discovery order, names equal
// but for case come out the same way whatever it is.
TEST_F(CalendarChoice, SortsLikeTheFileManager) {
    workspace.handlersByScheme["ical"] = {app("a", "a", "App 10"), app("b", "b", "Beta"),
                                          app("c", "c", "App 2"),  app("d", "d", "alpha"),
                                          app("e", "e", "Éclair"), app("f", "f", "Zulu")};
    EXPECT_EQ(installedNames(), (Strings{"alpha", "App 2", "App 10", "Beta", "Éclair", "Zulu"}));

    workspace.handlersByScheme = {{"webcal", {app("second", "second", "Cal"), app("first", "first", "Cal")}}};
    EXPECT_EQ(CalendarAppCatalog::installed(workspace).at(0).bundleIdentifier, "second");
    workspace.handlersByScheme["webcal"] = {app("x", "x", "Mail"), app("y", "y", "mail")};
    const auto forward = installedNames();
    workspace.handlersByScheme["webcal"] = {app("y", "y", "mail"), app("x", "x", "Mail")};
    EXPECT_EQ(installedNames(), forward);
}

TEST_F(CalendarChoice, TakesTheSystemDefaultFromIcalElseFromCalendarFilesNeverFromWebcal) {
    workspace.defaultHandlerByScheme.insert_or_assign("webcal", app("Webcal.desktop", "webcal", "Webcal"));
    EXPECT_FALSE(CalendarAppCatalog::systemDefault(workspace));
    const auto filesDefault = app("Files.desktop", "files", "Files");
    workspace.defaultHandlerByContentType.insert_or_assign("text/calendar", filesDefault);
    EXPECT_EQ(CalendarAppCatalog::systemDefault(workspace),
              (CalendarAppCandidate{"files", "Files", filesDefault}));
    const auto icalDefault = app("Ical.desktop", "ical", "Ical");
    workspace.defaultHandlerByScheme.insert_or_assign("ical", icalDefault);
    EXPECT_EQ(CalendarAppCatalog::systemDefault(workspace),
              (CalendarAppCandidate{"ical", "Ical", icalDefault}));
}

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
    EXPECT_EQ(titles(), (Strings{"System default (Calendar)", "---", "Agenda", "Calendar", "Notes", "---",
                                 chooseOther}));
    EXPECT_EQ(checked(), Strings{"Notes"});
    EXPECT_FALSE(model.isChoosingOtherApplication());
    EXPECT_EQ(panel->panelsAlive, 0);

    install("b.desktop", "org.example.Bee.desktop", "Bee");
    model.chooseOtherApplication();
    panel->answer(platform::modalResponseOK, platform::URL::fileURL("/apps/b.desktop"));
    model.reloadCandidates();
    EXPECT_EQ(titles(),
              (Strings{"System default (Calendar)", "---", "Agenda", "Bee", "Calendar", "---", chooseOther}));
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
        EXPECT_EQ(titles(),
                  (Strings{"System default (Calendar)", "---", "Agenda", "Calendar", "---", chooseOther}))
            << "the list must not be reloaded";
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

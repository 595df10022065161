// The stored choice of calendar application, and the catalog of the
// desktop's calendar applications it is chosen from.
#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/FakeWorkspace.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace CalendarAppCatalog = tarvelo::CalendarAppCatalog;
using platform::InfoDictionaryValue;
using tarvelo::CalendarAppCandidate;
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
        if (example.name)
            defaults.setObject(*example.name, CalendarAppPreference::displayNameKey);
        else
            defaults.removeObject(CalendarAppPreference::displayNameKey);
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

TEST_F(CalendarChoice, KeepsADeletedApplicationChosenButMissing) {
    const auto url = workspace.install("calendar.desktop", "calendar.desktop");
    preference.setSelection(CalendarAppSelection::app("calendar.desktop", "Calendar"));
    EXPECT_EQ(preference.resolvedApplicationURL(), url);
    EXPECT_FALSE(preference.selectionIsMissing());

    workspace.installedByIdentifier.clear();
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("calendar.desktop", "Calendar"));
    EXPECT_EQ(preference.resolvedApplicationURL(), std::nullopt);
    EXPECT_TRUE(preference.selectionIsMissing());
    // Nothing is cached: every question went to the workspace again.
    EXPECT_EQ(workspace.lookedUpIdentifiers.size(), 4u);
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

#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/FakeWorkspace.h"
#include "tests/Support/TemporaryFolder.h"

#include <gtest/gtest.h>

using tarvelo::CalendarAppPreference;
using tarvelo::CalendarAppSelection;

namespace {

class CalendarAppPreferenceTest : public ::testing::Test {
protected:
    tarvelo::testsupport::TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    tarvelo::testsupport::FakeWorkspace workspace;
    CalendarAppPreference preference{defaults, workspace};
};

} // namespace

// An empty or non-text identifier is the system default; a missing or
// non-text name is the identifier.
TEST_F(CalendarAppPreferenceTest, ReadsWhateverTheKeysHold) {
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
TEST_F(CalendarAppPreferenceTest, AnnouncesEveryWriteBeforeTouchingTheKeys) {
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

TEST_F(CalendarAppPreferenceTest, KeepsADeletedApplicationChosenButMissing) {
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

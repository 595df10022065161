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

TEST_F(CalendarAppPreferenceTest, StartsWithTheSystemDefault) {
    EXPECT_EQ(preference.selection(), CalendarAppSelection::systemDefault());
    EXPECT_EQ(preference.resolvedApplicationURL(), std::nullopt);
    EXPECT_FALSE(preference.selectionIsMissing());
    // The system default is never looked up here: the caller decides.
    EXPECT_TRUE(workspace.lookedUpIdentifiers.empty());
}

TEST_F(CalendarAppPreferenceTest, ReadsAnEmptyOrNonTextIdentifierAsTheSystemDefault) {
    defaults.setObject(std::string(), CalendarAppPreference::bundleIdentifierKey);
    defaults.setObject(std::string("Calendar"), CalendarAppPreference::displayNameKey);
    EXPECT_TRUE(preference.selection().isSystemDefault());
    defaults.setInteger(42, CalendarAppPreference::bundleIdentifierKey);
    EXPECT_TRUE(preference.selection().isSystemDefault());
}

TEST_F(CalendarAppPreferenceTest, NamesAnApplicationWithoutStoredNameByItsIdentifier) {
    defaults.setObject(std::string("org.gnome.Calendar.desktop"), CalendarAppPreference::bundleIdentifierKey);
    EXPECT_EQ(preference.selection(),
              CalendarAppSelection::app("org.gnome.Calendar.desktop", "org.gnome.Calendar.desktop"));
    defaults.setObject(std::int64_t{7}, CalendarAppPreference::displayNameKey);
    EXPECT_EQ(preference.selection().chosenApp()->name, "org.gnome.Calendar.desktop");
    defaults.setObject(std::string(), CalendarAppPreference::displayNameKey);
    EXPECT_EQ(preference.selection().chosenApp()->name, "");
}

TEST_F(CalendarAppPreferenceTest, StoresAnEmptyIdentifierThatReadsBackAsTheSystemDefault) {
    preference.setSelection(CalendarAppSelection::app("", "Nothing"));
    EXPECT_EQ(defaults.string(CalendarAppPreference::bundleIdentifierKey), "");
    EXPECT_EQ(defaults.string(CalendarAppPreference::displayNameKey), "Nothing");
    EXPECT_TRUE(preference.selection().isSystemDefault());
}

TEST_F(CalendarAppPreferenceTest, AnnouncesEveryWriteBeforeTouchingTheKeys) {
    preference.setSelection(CalendarAppSelection::app("a.desktop", "A"));
    std::vector<std::optional<std::string>> storedAtAnnouncement;
    preference.objectWillChange.connect(
        [&] { storedAtAnnouncement.push_back(defaults.string(CalendarAppPreference::bundleIdentifierKey)); });

    preference.setSelection(CalendarAppSelection::systemDefault());
    preference.setSelection(CalendarAppSelection::systemDefault());
    EXPECT_EQ(storedAtAnnouncement, (std::vector<std::optional<std::string>>{"a.desktop", std::nullopt}));
    EXPECT_FALSE(defaults.object(CalendarAppPreference::bundleIdentifierKey));
    EXPECT_FALSE(defaults.object(CalendarAppPreference::displayNameKey));
}

TEST_F(CalendarAppPreferenceTest, UpdatesInPlaceWithOneAnnouncement) {
    preference.setSelection(CalendarAppSelection::app("a.desktop", "A"));
    int announcements = 0;
    preference.objectWillChange.connect([&] { ++announcements; });
    preference.updateSelection([](CalendarAppSelection& selection) {
        selection = CalendarAppSelection::app(selection.chosenApp()->bundleIdentifier, "Renamed");
    });
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("a.desktop", "Renamed"));
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

TEST_F(CalendarAppPreferenceTest, SeesWritesOfAnotherInstanceOverTheSameDefaults) {
    CalendarAppPreference other{defaults, workspace};
    other.setSelection(CalendarAppSelection::app("b.desktop", "B"));
    EXPECT_EQ(preference.selection(), CalendarAppSelection::app("b.desktop", "B"));
}

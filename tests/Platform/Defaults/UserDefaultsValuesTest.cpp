#include "Platform/Defaults/UserDefaults.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/TemporaryFolder.h"

#include <cmath>
#include <gtest/gtest.h>

using platform::Instant;
using platform::UserDefaults;

TEST(UserDefaultsValues, EveryTypeSurvivesARestartAndMissingOrMistypedValuesReadAsMissing) {
    tarvelo::testsupport::TemporaryFolder folder;
    {
        UserDefaults defaults("domain", folder.path());
        defaults.setInteger(-42, "integer");
        defaults.setInteger(INT64_MIN, "smallest");
        defaults.setObject(2.5, "double");
        defaults.setObject(true, "boolean");
        defaults.setObject(std::string("Grüße \"quoted\"\n"), "string");
        defaults.setObject(Instant::sinceReferenceDate(786708000.125), "date");
        defaults.setObject(Instant::sinceReferenceDate(-INFINITY), "far past");
        defaults.setObject(Instant::sinceReferenceDate(1), "removed");
        defaults.removeObject("removed");
        EXPECT_FALSE(defaults.object("removed"));
    }
    UserDefaults reopened("domain", folder.path());
    EXPECT_EQ(reopened.integer("integer"), -42);
    EXPECT_EQ(reopened.integer("smallest"), INT64_MIN);
    EXPECT_EQ(reopened.doubleValue("double"), 2.5);
    EXPECT_TRUE(reopened.boolean("boolean"));
    EXPECT_EQ(reopened.string("string"), "Grüße \"quoted\"\n");
    EXPECT_EQ(reopened.date("date"), Instant::sinceReferenceDate(786708000.125));
    EXPECT_EQ(reopened.date("far past"), Instant::sinceReferenceDate(-INFINITY));
    EXPECT_FALSE(reopened.object("removed")) << "a removal leaves no trace";

    // Missing or mistyped values read as missing.
    UserDefaults& defaults = reopened;
    EXPECT_EQ(defaults.integer("absent"), 0);
    EXPECT_FALSE(defaults.object("absent"));

    defaults.setObject(std::string("12"), "text");
    EXPECT_EQ(defaults.integer("text"), 0) << "no conversion from text";
    EXPECT_FALSE(defaults.date("text"));
    defaults.setObject(3.9, "real");
    EXPECT_EQ(defaults.integer("real"), 0);
    EXPECT_FALSE(defaults.string("real"));
}

TEST(UserDefaultsValues, DomainsAreSeparateFilesAndNeverPaths) {
    tarvelo::testsupport::TemporaryFolder folder;
    UserDefaults first("today.tarvelo.Tarvelo", folder.path());
    UserDefaults second("today.tarvelo.Tarvelo.TarveloWidget", folder.path());
    UserDefaults hostile("../escape", folder.path());
    first.setInteger(1, "key");
    second.setInteger(2, "key");
    hostile.setInteger(3, "key");
    EXPECT_EQ(first.integer("key"), 1);
    EXPECT_EQ(second.integer("key"), 2);
    EXPECT_EQ(hostile.path().parent_path(), folder.path());
    EXPECT_FALSE(std::filesystem::exists(folder.path().parent_path() / "escape.json"));
}

TEST(UserDefaultsValues, TheDefaultFolderFollowsXdgConfigHome) {
    tarvelo::testsupport::EnvironmentGuard environment{{"XDG_CONFIG_HOME", "/srv/config"}};
    EXPECT_EQ(UserDefaults::folderForDomains(), "/srv/config/tarvelo");
    environment.set("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(UserDefaults::folderForDomains().filename(), "tarvelo");
    EXPECT_EQ(UserDefaults::folderForDomains().parent_path().filename(), ".config");
}

#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"
#include "tests/Support/EnvironmentGuard.h"
#include "tests/Support/FakeWorkspace.h"

#include <gtest/gtest.h>

namespace CalendarAppCatalog = tarvelo::CalendarAppCatalog;
using platform::InfoDictionaryValue;
using tarvelo::CalendarAppCandidate;
using Strings = std::vector<std::string>;

namespace {

class CalendarAppCatalogTest : public ::testing::Test {
protected:
    tarvelo::testsupport::EnvironmentGuard locale{{"LC_ALL", "en_US.UTF-8"}};
    tarvelo::testsupport::FakeWorkspace workspace;

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

TEST_F(CalendarAppCatalogTest, NamesByDisplayNameThenNameThenFileNameAndNeedsAnIdentifierAndABundle) {
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

TEST_F(CalendarAppCatalogTest, ListsEachApplicationOnceAsFoundForIcalThenWebcalThenCalendarFiles) {
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
TEST_F(CalendarAppCatalogTest, SortsLikeTheFileManager) {
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

TEST_F(CalendarAppCatalogTest, TakesTheSystemDefaultFromIcalElseFromCalendarFilesNeverFromWebcal) {
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

#include "TarveloFeature/CalendarChoice/CalendarAppCatalog.h"
#include "tests/Support/FakeWorkspace.h"

#include <gtest/gtest.h>

namespace CalendarAppCatalog = tarvelo::CalendarAppCatalog;
using platform::InfoDictionaryValue;
using tarvelo::CalendarAppCandidate;

namespace {

std::vector<std::string> namesOf(const std::vector<CalendarAppCandidate>& candidates) {
    std::vector<std::string> names;
    for (const auto& candidate : candidates)
        names.push_back(candidate.name);
    return names;
}

class CalendarAppCatalogTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("LC_ALL", "en_US.UTF-8", 1); }
    void TearDown() override { ::unsetenv("LC_ALL"); }

    platform::URL app(const std::string& file, const std::string& identifier, const std::string& name) {
        return workspace.install(file, identifier, {{"CFBundleName", InfoDictionaryValue(name)}});
    }

    tarvelo::testsupport::FakeWorkspace workspace;
};

} // namespace

TEST_F(CalendarAppCatalogTest, NamesByDisplayNameThenNameThenFileName) {
    const auto both = workspace.install("Both.desktop", "both",
                                        {{"CFBundleDisplayName", InfoDictionaryValue("Display")},
                                         {"CFBundleName", InfoDictionaryValue("Short")}});
    const auto nameOnly =
        workspace.install("NameOnly.desktop", "name", {{"CFBundleName", InfoDictionaryValue("Short")}});
    const auto neither = workspace.install("Calendar.desktop", "neither");
    const auto notText = workspace.install("Numbers.desktop", "numbers",
                                           {{"CFBundleDisplayName", InfoDictionaryValue(std::int64_t{5})},
                                            {"CFBundleName", InfoDictionaryValue(true)}});
    const auto empty =
        workspace.install("Empty.desktop", "empty", {{"CFBundleDisplayName", InfoDictionaryValue("")}});

    EXPECT_EQ(CalendarAppCatalog::candidate(both, workspace)->name, "Display");
    EXPECT_EQ(CalendarAppCatalog::candidate(nameOnly, workspace)->name, "Short");
    EXPECT_EQ(CalendarAppCatalog::candidate(neither, workspace)->name, "Calendar");
    EXPECT_EQ(CalendarAppCatalog::candidate(notText, workspace)->name, "Numbers");
    EXPECT_EQ(CalendarAppCatalog::candidate(empty, workspace)->name, "");
    EXPECT_EQ(CalendarAppCatalog::candidate(both, workspace),
              (CalendarAppCandidate{"both", "Display", both}));
}

TEST_F(CalendarAppCatalogTest, NeverOffersAnApplicationWithoutIdentifierOrBundle) {
    const auto anonymous =
        workspace.install("Anonymous.desktop", std::nullopt, {{"CFBundleName", InfoDictionaryValue("A")}});
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

    const auto installed = CalendarAppCatalog::installed(workspace);
    EXPECT_EQ(installed, (std::vector<CalendarAppCandidate>{{"files", "Files only", filesOnly},
                                                            {"same", "From ical", forIcal},
                                                            {"other", "Webcal only", webcalOnly}}));
}

TEST_F(CalendarAppCatalogTest, SortsLikeTheFileManager) {
    workspace.handlersByScheme["ical"] = {app("a", "a", "App 10"), app("b", "b", "Beta"),
                                          app("c", "c", "App 2"),  app("d", "d", "alpha"),
                                          app("e", "e", "Éclair"), app("f", "f", "Zulu")};
    EXPECT_EQ(namesOf(CalendarAppCatalog::installed(workspace)),
              (std::vector<std::string>{"alpha", "App 2", "App 10", "Beta", "Éclair", "Zulu"}));
}

TEST_F(CalendarAppCatalogTest, KeepsDiscoveryOrderForEqualNamesAndOrdersCaseVariantsFixedly) {
    const auto first = app("first", "first", "Calendar");
    const auto second = app("second", "second", "Calendar");
    workspace.handlersByScheme["webcal"] = {second, first};
    const auto installed = CalendarAppCatalog::installed(workspace);
    ASSERT_EQ(installed.size(), 2u);
    EXPECT_EQ(installed[0].bundleIdentifier, "second");

    // Names equal but for case come out the same way whatever the discovery order.
    workspace.handlersByScheme["webcal"] = {app("x", "x", "Mail"), app("y", "y", "mail")};
    const auto forward = namesOf(CalendarAppCatalog::installed(workspace));
    workspace.handlersByScheme["webcal"] = {app("y", "y", "mail"), app("x", "x", "Mail")};
    EXPECT_EQ(namesOf(CalendarAppCatalog::installed(workspace)), forward);
}

TEST_F(CalendarAppCatalogTest, TakesTheSystemDefaultFromIcalElseFromCalendarFilesNeverFromWebcal) {
    const auto webcalDefault = app("Webcal.desktop", "webcal", "Webcal");
    workspace.defaultHandlerByScheme.insert_or_assign("webcal", webcalDefault);
    EXPECT_FALSE(CalendarAppCatalog::systemDefault(workspace));
    EXPECT_TRUE(CalendarAppCatalog::installed(workspace).empty());

    const auto filesDefault = app("Files.desktop", "files", "Files");
    workspace.defaultHandlerByContentType.insert_or_assign("text/calendar", filesDefault);
    EXPECT_EQ(CalendarAppCatalog::systemDefault(workspace),
              (CalendarAppCandidate{"files", "Files", filesDefault}));

    const auto icalDefault = app("Ical.desktop", "ical", "Ical");
    workspace.defaultHandlerByScheme.insert_or_assign("ical", icalDefault);
    EXPECT_EQ(CalendarAppCatalog::systemDefault(workspace),
              (CalendarAppCandidate{"ical", "Ical", icalDefault}));
}

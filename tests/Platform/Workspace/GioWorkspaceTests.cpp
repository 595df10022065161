#include "Platform/Workspace/GioWorkspace.h"
#include "tests/Support/DesktopFixture.h"

#include <gtest/gtest.h>

using platform::URL;
using Completions = std::vector<std::optional<std::string>>;

namespace {

// One private desktop for the whole program (see DesktopFixture).
const tarvelo::testsupport::DesktopFixture& desktop() {
    static const tarvelo::testsupport::DesktopFixture made;
    static const bool prepared = [] {
        const auto program = made.program().string();
        made.addApplication(
            "test.Calendar.desktop", program + " calendar %u",
            "Name=Calendar\nName[de]=Kalender\nX-GNOME-FullName=Test Calendar\n"
            "Icon=x-office-calendar\nMimeType=x-scheme-handler/ical;x-scheme-handler/webcal;\n");
        made.addApplication("test.Default.desktop", program + " default %u",
                            "Name=Default\nMimeType=x-scheme-handler/ical;\n");
        made.addApplication("test.Webcal.desktop", program + " webcal %F",
                            "Name=Webcal\nMimeType=x-scheme-handler/webcal;\n");
        made.addApplication("test.Vanished.desktop", (made.root() / "bin/vanished").string() + " %u",
                            "Name=Vanished\nMimeType=x-scheme-handler/ical;\n");
        made.addApplication("test.TryExecGone.desktop", program + " tryexec %u",
                            "Name=Gone\nTryExec=" + (made.root() / "bin/gone").string() + "\n");
        made.addApplication("test.NoURL.desktop", program + " nourl", "Name=No URL\n");
        made.addApplication("vendor/test.Nested.desktop", program + " nested %u", "Name=Nested\n");
        // Records what two variables are in its environment, under "environment".
        const auto recorder = tarvelo::testsupport::writeFile(
            made.root() / "bin/environment-recorder",
            "#!/bin/sh\nrecords='" + (made.root() / "records").string() +
                "'\nprintf '%s\\n' \"${TEST_KEPT_VARIABLE-unset}\" \"${TEST_PASSED_VARIABLE-unset}\" "
                "> \"$records/.$$\"\nmv \"$records/.$$\" \"$records/environment.$$\"\n");
        std::filesystem::permissions(recorder, std::filesystem::perms::owner_all);
        made.addApplication("test.Environment.desktop", recorder.string() + " %u",
                            "Name=Environment\nMimeType=x-scheme-handler/env-test;\n");
        made.setDefault("ical", "test.Default.desktop");
        made.updateDatabase();
        return true;
    }();
    (void)prepared;
    return made;
}

URL applicationURL(const std::string& relative) {
    return URL::fileURL(desktop().applications() / relative);
}

URL url(const char* text) {
    return *URL::string(text);
}

class GioWorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override { desktop(); }

    // Opens and runs the main context until the request completed; returns
    // every completion's error.
    template <typename Open> Completions complete(Open open) {
        Completions completions;
        open([&](const std::optional<std::string>& error) { completions.push_back(error); });
        tarvelo::testsupport::eventually([&] { return !completions.empty(); });
        // Anything else pending runs too, so a second completion would show.
        tarvelo::testsupport::settle();
        return completions;
    }

    platform::GioWorkspace workspace;
    std::shared_ptr<const platform::OpenConfiguration> configuration =
        std::make_shared<platform::OpenConfiguration>();
};

} // namespace

TEST_F(GioWorkspaceTest, FindsApplicationsByDesktopIdentifierAndByScheme) {
    EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier("test.Calendar.desktop"),
              applicationURL("test.Calendar.desktop"));
    EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier("vendor-test.Nested.desktop"),
              applicationURL("vendor/test.Nested.desktop"));
    for (const char* unknown : {"", "test.Calendar", "nothing.desktop", "test.TryExecGone.desktop",
                                "../applications/test.Calendar.desktop"})
        EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier(unknown), std::nullopt) << unknown;
    EXPECT_EQ(workspace.urlForApplicationWithBundleIdentifier(std::string("test.Calendar.desktop\0x", 23)),
              std::nullopt);

    // Scheme handlers, the default from mimeapps.list first; GIO leaves out an entry whose program is
    // missing.
    EXPECT_EQ(
        workspace.urlsForApplicationsToOpenURL(url("ical://")),
        (std::vector<URL>{applicationURL("test.Default.desktop"), applicationURL("test.Calendar.desktop")}));
    EXPECT_EQ(workspace.urlsForApplicationsToOpenURL(url("WebCal://")).size(), 2u);
    EXPECT_TRUE(workspace.urlsForApplicationsToOpenURL(url("nothing://")).empty());
    EXPECT_EQ(workspace.urlForApplicationToOpenURL(url("ical://")), applicationURL("test.Default.desktop"));
    EXPECT_EQ(workspace.urlForApplicationToOpenURL(url("nothing://")), std::nullopt);
}

TEST_F(GioWorkspaceTest, DescribesADesktopEntryAsABundleAndNothingElse) {
    using Value = platform::InfoDictionaryValue;
    const auto bundle = workspace.bundleWithURL(applicationURL("test.Calendar.desktop"));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->bundleIdentifier(), "test.Calendar.desktop");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleDisplayName"), Value("Test Calendar"));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleName"), Value("Calendar"));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleVersion"), std::nullopt);
    EXPECT_EQ(workspace.bundleWithURL(applicationURL("test.Default.desktop"))
                  ->objectForInfoDictionaryKey("CFBundleDisplayName"),
              std::nullopt);
    EXPECT_EQ(workspace.bundleWithURL(applicationURL("vendor/test.Nested.desktop"))->bundleIdentifier(),
              "vendor-test.Nested.desktop");
    EXPECT_EQ(workspace.iconForFile(desktop().applications() / "test.Calendar.desktop"), "x-office-calendar");
    EXPECT_EQ(workspace.iconForFile(desktop().root() / "missing.desktop"), "application-x-executable");

    // No bundle for what is no application entry, no identifier outside the folders.
    for (const auto& nothing :
         {URL::fileURL(desktop().program()), URL::fileURL(desktop().applications()),
          URL::fileURL(desktop().root() / "missing.desktop"), url("https://x/a.desktop")})
        EXPECT_FALSE(workspace.bundleWithURL(nothing)) << nothing.absoluteString();

    const auto loose = tarvelo::testsupport::writeFile(
        desktop().root() / "elsewhere/test.Loose.desktop",
        tarvelo::testsupport::readFile(desktop().applications() / "test.Default.desktop"));
    const auto looseBundle = workspace.bundleWithURL(URL::fileURL(loose));
    ASSERT_TRUE(looseBundle);
    EXPECT_EQ(looseBundle->bundleIdentifier(), std::nullopt);
}

TEST_F(GioWorkspaceTest, OpensAURLInAnApplicationCompletingOnceOrWithTheDefaultHandlerOrAnApplicationAlone) {
    // The program starts before the main loop turns again (what the caller
    // does in that turn cannot hold it back); the completion comes on the loop.
    const auto completions = complete([&](auto done) {
        workspace.openURLs({url("ical://")}, applicationURL("test.Calendar.desktop"), configuration, done);
        EXPECT_TRUE(tarvelo::testsupport::eventually([&] { return desktop().recorded("calendar"); },
                                                     std::chrono::seconds(30),
                                                     tarvelo::testsupport::WhileWaiting::leaveMainContext))
            << "not started before the main loop turned";
    });
    EXPECT_EQ(completions, Completions{std::nullopt});
    EXPECT_EQ(desktop().waitForRecord("calendar"), "calendar\nical://\n");
    // And with the default handler.
    EXPECT_TRUE(workspace.openURL(url("ical://")));
    EXPECT_EQ(desktop().waitForRecord("default"), "default\nical://\n");
    EXPECT_FALSE(workspace.openURL(url("nothing://")));
    // An application without a URL.
    EXPECT_EQ(complete([&](auto done) {
                  workspace.openApplicationAtURL(applicationURL("test.NoURL.desktop"), configuration, done);
              }),
              Completions{std::nullopt});
    EXPECT_EQ(desktop().waitForRecord("nourl"), "nourl\n");
    desktop().forgetRecords();
}

// Also an entry that takes no URL, when asked to open one.
TEST_F(GioWorkspaceTest, ReportsAVanishedProgramOrAnythingButAnEntryAsAnError) {
    for (const auto& application :
         {applicationURL("test.Vanished.desktop"), url("https://example.org/"),
          URL::fileURL(desktop().root() / "missing.desktop"), applicationURL("test.NoURL.desktop")}) {
        const auto completions = complete(
            [&](auto done) { workspace.openURLs({url("ical://")}, application, configuration, done); });
        EXPECT_TRUE(completions.size() == 1 && completions[0]) << application.absoluteString();
    }
    EXPECT_FALSE(desktop().recorded("nourl")) << "refused a URL, it still ran";
}

TEST_F(GioWorkspaceTest, LaunchedProgramsDoNotInheritWhatThisProcessKeptForItself) {
    ::setenv("TEST_KEPT_VARIABLE", "ours", 1);
    ::setenv("TEST_PASSED_VARIABLE", "the user's", 1);
    platform::Workspace::keepFromLaunchedPrograms("TEST_KEPT_VARIABLE");

    EXPECT_EQ(complete([&](auto done) {
                  workspace.openURLs({url("env-test://")}, applicationURL("test.Environment.desktop"),
                                     configuration, done);
              }),
              Completions{std::nullopt});
    EXPECT_EQ(desktop().waitForRecord("environment"), "unset\nthe user's\n");
    desktop().forgetRecords();

    // The same when a link goes to its default handler.
    EXPECT_TRUE(workspace.openURL(url("env-test://")));
    // This process keeps its own value.
    EXPECT_STREQ(std::getenv("TEST_KEPT_VARIABLE"), "ours");
}

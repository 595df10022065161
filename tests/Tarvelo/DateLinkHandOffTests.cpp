#include "DateLinkFixture.h"

using tarvelo::CalendarAppSelection;
using DateLinkHandOff = tarvelo::testsupport::DateLinkTest;

TEST_F(DateLinkHandOff, OpensIcalWithTheSystemHandlerWhenNothingIsChosenThenQuits) {
    handle("tarvelo://date?t=0");
    ASSERT_EQ(workspace.openedWithSystemHandler.size(), 1u);
    EXPECT_EQ(workspace.openedWithSystemHandler[0].absoluteString(), "ical://");
    // Queued, not called: the quit runs from the main loop.
    EXPECT_EQ(quits, 0);
    runPending();
    EXPECT_EQ(quits, 1);
}

TEST_F(DateLinkHandOff, FallsBackToTheSystemHandlerWhenTheChosenApplicationIsGone) {
    preference.setSelection(CalendarAppSelection::app("gone.desktop", "Gone"));
    handle("tarvelo://date?t=0");
    EXPECT_EQ(workspace.openedWithSystemHandler.size(), 1u);
    EXPECT_TRUE(workspace.openURLsRequests.empty());
}

TEST_F(DateLinkHandOff, OpensIcalInTheChosenApplicationAndQuitsOnlyAfterTheAnswer) {
    const auto calendar = workspace.install("calendar.desktop", "calendar.desktop");
    preference.setSelection(CalendarAppSelection::app("calendar.desktop", "Calendar"));
    handle("tarvelo://date?t=0");

    ASSERT_EQ(workspace.openURLsRequests.size(), 1u);
    auto& request = workspace.openURLsRequests[0];
    EXPECT_EQ(request.applicationURL, calendar);
    ASSERT_EQ(request.urls.size(), 1u);
    EXPECT_EQ(request.urls[0].absoluteString(), "ical://");
    EXPECT_TRUE(workspace.openedWithSystemHandler.empty());
    runPending();
    EXPECT_EQ(quits, 0);

    request.completion(std::nullopt);
    EXPECT_EQ(quits, 0);
    runPending();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(workspace.openApplicationRequests.empty());
}

TEST_F(DateLinkHandOff, LaunchesARefusingApplicationPlainlyWithTheSameConfigurationThenQuits) {
    const auto calendar = workspace.install("calendar.desktop", "calendar.desktop");
    preference.setSelection(CalendarAppSelection::app("calendar.desktop", "Calendar"));
    handle("tarvelo://date?t=-1");
    auto completion = workspace.openURLsRequests.at(0).completion;
    const auto configuration = workspace.openURLsRequests.at(0).configuration;
    workspace.openURLsRequests.clear();
    completion(std::string("does not open URLs"));

    ASSERT_EQ(workspace.openApplicationRequests.size(), 1u);
    EXPECT_EQ(workspace.openApplicationRequests[0].applicationURL, calendar);
    EXPECT_EQ(workspace.openApplicationRequests[0].configuration, configuration);
    runPending();
    EXPECT_EQ(quits, 0);

    // Quits whatever comes of the plain launch.
    workspace.openApplicationRequests[0].completion(std::string("no such program"));
    runPending();
    EXPECT_EQ(quits, 1);
}

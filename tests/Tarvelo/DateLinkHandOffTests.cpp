#include "DateLinkFixture.h"

#include <algorithm>

using tarvelo::CalendarAppSelection;
using DateLinkHandOff = tarvelo::testsupport::DateLinkTest;

TEST_F(DateLinkHandOff, WithNothingChosenOrTheChosenGoneOpensTheSystemDefaultApplication) {
    for (const auto& selection :
         {CalendarAppSelection::systemDefault(), CalendarAppSelection::app("gone.desktop", "Gone")}) {
        preference.setSelection(selection);
        workspace.openURLsRequests.clear();
        handle("tarvelo://date?t=0");
        ASSERT_EQ(workspace.openURLsRequests.size(), 1u);
        EXPECT_EQ(workspace.openURLsRequests[0].applicationURL, calendar);
    }
}

TEST_F(DateLinkHandOff, WithNoCalendarApplicationAtAllSaysSoInOneLineAndQuits) {
    workspace.defaultHandlerByContentType.clear();
    testing::internal::CaptureStderr();
    handle("tarvelo://date?t=0");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(workspace.openURLsRequests.empty());
    EXPECT_TRUE(said.starts_with("tarvelo: no calendar application is installed")) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    runPending();
    EXPECT_EQ(quits, 1);
}

TEST_F(DateLinkHandOff, OpensIcalInTheChosenApplicationAndQuitsOnlyAfterTheAnswer) {
    preference.setSelection(CalendarAppSelection::app("calendar.desktop", "Calendar"));
    handle("tarvelo://date?t=0");

    ASSERT_EQ(workspace.openURLsRequests.size(), 1u);
    auto& request = workspace.openURLsRequests[0];
    EXPECT_EQ(request.applicationURL, calendar);
    ASSERT_EQ(request.urls.size(), 1u);
    EXPECT_EQ(request.urls[0].absoluteString(), "ical://");
    runPending();
    EXPECT_EQ(quits, 0);

    request.completion(std::nullopt);
    EXPECT_EQ(quits, 0);
    runPending();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(workspace.openApplicationRequests.empty());
}

TEST_F(DateLinkHandOff, LaunchesARefusingApplicationPlainlyWithTheSameConfigurationThenQuits) {
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

    // Quits whatever comes of the plain launch, saying what failed.
    testing::internal::CaptureStderr();
    workspace.openApplicationRequests[0].completion(std::string("no such program"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tarvelo: the calendar application could not be started: no such program\n");
    runPending();
    EXPECT_EQ(quits, 1);
}

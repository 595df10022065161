// Which links the date-link handler takes, and how it hands them to the
// calendar application and quits.
#include "Tarvelo/DateLink.h"
#include "TarveloFeature/CalendarChoice/CalendarAppPreference.h"
#include "tests/Support/Eventually.h"
#include "tests/Support/FakeWorkspace.h"
#include "tests/Support/TemporaryFolder.h"

#include <algorithm>
#include <gio/gio.h>
#include <gtest/gtest.h>

namespace {

using namespace tarvelo;
using namespace tarvelo::testsupport;

// Date-link handling over a fake workspace, whose calendar application is
// "calendar.desktop", and a preference in a folder of its own; counts the quits
// that reached the main context.
class DateLink : public ::testing::Test {
protected:
    DateLink() { workspace.defaultHandlerByContentType.insert_or_assign("text/calendar", calendar); }

    // Quits queued by this test refer to it: run them while it still exists.
    void TearDown() override { settle(); }

    DateLinkServices services() {
        return DateLinkServices{workspace, preference, [this] { ++quits; }};
    }

    // Handles `text`, which must be a well-formed URL.
    void handle(const std::string& text) {
        const auto url = platform::URL::string(text);
        ASSERT_TRUE(url) << text;
        handleDateLink(*url, services());
    }

    // Whether the link launched anything since the last time asked.
    bool handedOff() {
        settle();
        const bool launched = !workspace.openURLsRequests.empty();
        workspace.openURLsRequests.clear();
        return launched;
    }

    TemporaryFolder folder;
    platform::UserDefaults defaults{"today.tarvelo.Tarvelo", folder.path()};
    FakeWorkspace workspace;
    platform::URL calendar = workspace.install("calendar.desktop", "calendar.desktop");
    CalendarAppPreference preference{defaults, workspace};
    int quits = 0;
};

} // namespace

// Every number the C library reads whole, with the C locale's decimal point
// whatever the user's; no padding, trailing text or emptiness.
TEST_F(DateLink, ReadsNumbersWhole) {
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    for (const char* value :
         {"0", "-1", "-5.5e2", "0x1p4", "+7", ".5", "1.5", "1e999", "inf", "-Infinity", "nan", "NAN(12)"})
        EXPECT_TRUE(isDateLinkNumber(value)) << value;
    for (const std::string_view value :
         {"", " 5", "\t5", "\n5", "\v5", "\f5", "\r5", "5x", "5 ", "x", "0x", "1e", "--1", "1,5"})
        EXPECT_FALSE(isDateLinkNumber(value)) << '"' << value << '"';
    using namespace std::string_view_literals;
    EXPECT_FALSE(isDateLinkNumber("\0"
                                  "5"sv));
    EXPECT_FALSE(isDateLinkNumber("5\0"
                                  "5"sv));
    std::setlocale(LC_NUMERIC, previous ? previous : "C");
}

// Links with a valid first "t" are handed off; everything else is ignored,
// and the handler keeps running.
TEST_F(DateLink, HandsOffOnlyLinksWithAValidFirstT) {
    for (const char* link :
         {"tarvelo://date?t=0", "tarvelo://date?t=-5.5e2", "tarvelo://date?t=0x1p4", "tarvelo://date?t=-1",
          "tarvelo://date?x=1&t=5&t=junk", "tarvelo://date/?t=%35", "tarvelo://date?t=1#fragment"}) {
        EXPECT_TRUE((handle(link), handedOff())) << link;
    }
    for (const char* link :
         {"tarvelo://date?t=", "tarvelo://date?t=%205", "tarvelo://date?t=5x", "tarvelo://date",
          "tarvelo://date?", "tarvelo://date?u=5", "tarvelo://date?t&t=5", "tarvelo://day?t=0",
          "tarvelo://Date?t=0", "Tarvelo://date?t=0", "tarvelo:date?t=0", "ical://date?t=0",
          "https://date?t=0", "file:///date?t=0", "tarvelo://date?t=%00", "tarvelo://date?t=5%00",
          "tarvelo://date?T=5", "tarvelo://date:x?t=5", "tarvelo://date#?t=5"}) {
        EXPECT_FALSE((handle(link), handedOff())) << link;
    }
    EXPECT_EQ(quits, 0);
}

TEST_F(DateLink, SurvivesHugeAndBinaryValues) {
    std::string digits(1 << 20, '7');
    EXPECT_TRUE((handle("tarvelo://date?t=" + digits), handedOff()));

    std::string binary = "tarvelo://date?t=";
    for (int byte = 0; byte < 256; ++byte) {
        static const char hex[] = "0123456789ABCDEF";
        binary += '%';
        binary += hex[byte >> 4];
        binary += hex[byte & 15];
    }
    handle(binary);
    EXPECT_FALSE(handedOff());
}

TEST_F(DateLink, WithNothingChosenOrTheChosenGoneOpensTheSystemDefaultApplication) {
    for (const auto& selection :
         {CalendarAppSelection::systemDefault(), CalendarAppSelection::app("gone.desktop", "Gone")}) {
        preference.setSelection(selection);
        workspace.openURLsRequests.clear();
        handle("tarvelo://date?t=0");
        ASSERT_EQ(workspace.openURLsRequests.size(), 1u);
        EXPECT_EQ(workspace.openURLsRequests[0].applicationURL, calendar);
    }
}

TEST_F(DateLink, WithNoCalendarApplicationAtAllSaysSoInOneLineAndQuits) {
    workspace.defaultHandlerByContentType.clear();
    testing::internal::CaptureStderr();
    handle("tarvelo://date?t=0");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(workspace.openURLsRequests.empty());
    EXPECT_TRUE(said.starts_with("tarvelo: no calendar application is installed")) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1);
    settle();
    EXPECT_EQ(quits, 1);
}

TEST_F(DateLink, OpensIcalInTheChosenApplicationAndQuitsOnlyAfterTheAnswer) {
    preference.setSelection(CalendarAppSelection::app("calendar.desktop", "Calendar"));
    handle("tarvelo://date?t=0");

    ASSERT_EQ(workspace.openURLsRequests.size(), 1u);
    auto& request = workspace.openURLsRequests[0];
    EXPECT_EQ(request.applicationURL, calendar);
    ASSERT_EQ(request.urls.size(), 1u);
    EXPECT_EQ(request.urls[0].absoluteString(), "ical://");
    settle();
    EXPECT_EQ(quits, 0);

    request.completion(std::nullopt);
    EXPECT_EQ(quits, 0);
    settle();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(workspace.openApplicationRequests.empty());
}

TEST_F(DateLink, LaunchesARefusingApplicationPlainlyWithTheSameConfigurationThenQuits) {
    preference.setSelection(CalendarAppSelection::app("calendar.desktop", "Calendar"));
    handle("tarvelo://date?t=-1");
    auto completion = workspace.openURLsRequests.at(0).completion;
    const auto configuration = workspace.openURLsRequests.at(0).configuration;
    workspace.openURLsRequests.clear();
    completion(std::string("does not open URLs"));

    ASSERT_EQ(workspace.openApplicationRequests.size(), 1u);
    EXPECT_EQ(workspace.openApplicationRequests[0].applicationURL, calendar);
    EXPECT_EQ(workspace.openApplicationRequests[0].configuration, configuration);
    settle();
    EXPECT_EQ(quits, 0);

    // Quits whatever comes of the plain launch, saying what failed.
    testing::internal::CaptureStderr();
    workspace.openApplicationRequests[0].completion(std::string("no such program"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tarvelo: the calendar application could not be started: no such program\n");
    settle();
    EXPECT_EQ(quits, 1);
}
